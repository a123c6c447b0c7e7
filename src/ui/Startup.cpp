#include "ui/Startup.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include "base/Config.h"
#include "ui/GuiPerson.h"

namespace mrk2::ui {

QString singleInstanceLockPath(const std::string& iniPath) {
    const QString exe = QCoreApplication::applicationFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(iniPath), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return QDir::temp().filePath(QStringLiteral("%1-%2-%3.lock")
                                     .arg(QFileInfo(exe).completeBaseName())
                                     .arg(getuid())
                                     .arg(QString::fromLatin1(hash)));
}

QString alreadyRunningText() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QStringLiteral("は起動済みです");
}

void initApplication(Session& session, GuiPerson& person, const std::string& iniPath) {
    session.settings = loadSettings(iniPath, person);
    session.dbDir = session.settings.dbDir;
    session.forceQuit = false;
}

}  // namespace mrk2::ui
