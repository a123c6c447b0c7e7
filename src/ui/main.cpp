#include <QApplication>
#include <QLockFile>
#include <iostream>
#include <string>
#include <vector>

#include "base/ErrorReport.h"
#include "base/SettingsLocation.h"
#include "ui/GuiPerson.h"
#include "ui/MainWindow.h"
#include "ui/Prompter.h"
#include "ui/QtTranslations.h"
#include "ui/Startup.h"
#include "ui/ToolCommandLine.h"
#include "ui/UiText.h"

// Main: one instance per settings file, the settings, then the main
// window, modeless. The process ends when the last window has closed.
int main(int argc, char** argv) {
    // Answered before QApplication exists: they need no display.
    const mrk2::ui::ToolOptions early =
        mrk2::ui::parseToolOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (early.help || early.version) {
        if (early.help)
            std::cout << mrk2::ui::toolHelpText();
        else
            std::cout << "mrk2tool " << MRK2_VERSION << "\n";
        return 0;
    }

    QApplication app(argc, argv);
    mrk2::ui::installJapaneseQtTranslations(app);
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("mrk2tool"));
    mrk2::ui::MessageBoxPrompter prompter;

    // QApplication has taken its own options out of argv by now.
    const mrk2::ui::ToolOptions options =
        mrk2::ui::parseToolOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << "mrk2tool: " << options.error << "\n(mrk2tool --help で使い方を表示します)\n";
        return 2;
    }
    const std::string iniPath = mrk2::settingsFilePath(options.ini);

    QLockFile lock(mrk2::ui::singleInstanceLockPath(iniPath));
    // Held for the whole session: never stale by age; a crashed instance is
    // recognised by its process id instead.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        prompter.message(nullptr, mrk2::ui::kAppTitle, mrk2::ui::alreadyRunningText(),
                         mrk2::Icon::Critical);
        return 0;
    }

    mrk2::ui::Session session;
    mrk2::ui::GuiPerson person(session, prompter);
    try {
        mrk2::ui::initApplication(session, person, iniPath);
    } catch (const std::exception& e) {
        // The tool ends in order, having said why.
        mrk2::reportError(person, e);
        return 1;
    }

    // Not deleted on close: a forced close happens inside a running import whose
    // selection window still belongs to the main window.
    mrk2::ui::MainWindow window(session, person);
    window.formLoad();
    window.show();
    return app.exec();
}
