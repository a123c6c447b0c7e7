#include <QApplication>
#include <QLockFile>
#include <cstring>

#include "ui/GuiPerson.h"
#include "ui/MainWindow.h"
#include "ui/Prompter.h"
#include "ui/QtTranslations.h"
#include "ui/ScreenshotDemo.h"
#include "ui/Startup.h"
#include "ui/UiText.h"

// Main: one instance per executable, the settings, then the main
// window, modeless. The process ends when the last window has closed.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    mrk2::ui::installJapaneseQtTranslations(app);
    mrk2::ui::MessageBoxPrompter prompter;

    if (argc == 5 && std::strcmp(argv[1], "--screenshot-demo") == 0)
        return mrk2::ui::runScreenshotDemo(argv[2], argv[3], argv[4]);

    QLockFile lock(mrk2::ui::singleInstanceLockPath());
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
    if (!mrk2::ui::initApplication(session, person))
        return 1;

    // Not deleted on close: a forced close happens inside a running import whose
    // selection window still belongs to the main window.
    mrk2::ui::MainWindow window(session, person);
    window.formLoad();
    window.show();
    return app.exec();
}
