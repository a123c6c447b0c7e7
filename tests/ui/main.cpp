// The window tests run without a display: the platform is chosen before the
// application object exists, so that test discovery works on a bare machine too.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/QtTranslations.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // As the tool itself starts: Qt's standard buttons read in Japanese.
    mrk2::ui::installJapaneseQtTranslations(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
