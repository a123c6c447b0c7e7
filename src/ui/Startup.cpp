#include "ui/Startup.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include "app/Config.h"
#include "data/Catalog.h"
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

bool initApplication(AppState& state, GuiPerson& person, const std::string& iniPath) {
    state.strIniPath = iniPath;
    // A value that is no number has been reported; the tool ends in order.
    if (!loadIniFile(state, person))
        return false;
    state.blnBaseDbOpen = false;
    state.strBaseDbPath = state.strDbDir + "/mrk2.mdb";
    state.strDbListTable = "ＤＢ一覧";
    if (!openWorkspace(state)) {
        person.say(QStringLiteral("ワークスペースが作成できないので、実行できません。"));
        return false;
    }
    state.blnForceQuit = false;
    return true;
}

}  // namespace mrk2::ui
