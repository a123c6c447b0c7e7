#include "ui/DriveList.h"

#include <QComboBox>
#include <QDir>
#include <QStorageInfo>

namespace mrk2::ui {

QStringList driveRoots() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = normalDirPath(volume.rootPath());
        if (!roots.contains(root))
            roots << root;
    }
    std::sort(roots.begin() + 1, roots.end());
    return roots;
}

QString driveOf(const QString& path, const QStringList& roots) {
    const QString p = normalDirPath(path);
    QString best = QStringLiteral("/");
    for (const QString& root : roots) {
        const bool inside =
            p == root || root == QLatin1String("/") || p.startsWith(root + QLatin1Char('/'));
        if (inside && root.size() > best.size())
            best = root;
    }
    return best;
}

void fillDriveBox(QComboBox* box, const QStringList& roots) {
    box->clear();
    for (const QString& root : roots)
        box->addItem(root, root);
}

QString normalDirPath(const QString& path) {
    QString p = QDir::cleanPath(QDir(path).absolutePath());
    if (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

}  // namespace mrk2::ui
