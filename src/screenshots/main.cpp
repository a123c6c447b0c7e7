// mrk2screenshots: photographs the desktop tool's windows for the documentation
// (scripts/screenshots.sh runs it on a virtual display). A program of its own,
// so that what the operators get holds no demo.
#include <QApplication>
#include <iostream>

#include "screenshots/ScreenshotDemo.h"
#include "ui/QtTranslations.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "使い方: mrk2screenshots DBDIR CSVDIR OUTDIR\n";
        return 2;
    }
    QApplication app(argc, argv);
    mrk2::ui::installJapaneseQtTranslations(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("mrk2tool"));
    return mrk2::ui::runScreenshotDemo(argv[1], argv[2], argv[3]);
}
