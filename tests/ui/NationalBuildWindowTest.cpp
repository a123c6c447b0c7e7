// The 全国一括登録 window offscreen: one row per prefecture, the GUI thread free
// while the build runs, and its 中止 stopping every region.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <fstream>

#include "UiFixture.h"
#include "app/Paths.h"
#include "postal/PostalTable.h"
#include "ui/NationalBuildWindow.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

struct NationalBuildWindowTest : ::testing::Test, UiFixture {
    void writePrefecture(const std::string& name, const std::string& pref, int rows) {
        std::string text;
        for (int i = 1; i <= rows; ++i)
            text += pref + ",市,町" + std::to_string(i / 50) + "," + std::to_string(i) +
                    ",9,-1000.5,2000.5,35.1,139.2,,1,0\r\n";
        std::ofstream(joinPath(csvDir.path(), name), std::ios::binary) << sjis(text);
    }
};

TEST_F(NationalBuildWindowTest, RowsAppearWhileTheGuiThreadStaysFreeAndStopStopsAll) {
    createPostTable(basePath);
    writePrefecture("30.csv", "和歌山県", 20000);
    writePrefecture("31.csv", "鳥取県", 20000);
    writePrefecture("32.csv", "島根県", 20000);
    ui::NationalBuildWindow window(session);
    window.show();
    window.setSources({QString::fromStdString(csvDir.path())});
    auto* table = child<QTableWidget>(&window, "tblRegions");

    int ticksDuringRun = 0, rowsSeen = 0;
    bool stopOnTick = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!window.running())
            return;
        ++ticksDuringRun;
        rowsSeen = std::max(rowsSeen, table->rowCount());
        if (stopOnTick && rowsSeen > 0)
            child<QPushButton>(&window, "cmdStop")->click();
    });
    timer.start(1);

    EXPECT_EQ(window.startBuild(ImportMode::Register).kind, Outcome::Kind::Completed);
    EXPECT_GE(ticksDuringRun, 3) << "a timer fires on the GUI thread during the build";
    EXPECT_EQ(rowsSeen, 3);
    ASSERT_EQ(table->rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(table->item(r, 1)->text(), QStringLiteral("完了")) << r;
    EXPECT_TRUE(fileExists(dir.file("鳥取県.mdb")));
    EXPECT_TRUE(child<QLabel>(&window, "lblOverall")->text().contains(QStringLiteral("3/3")));

    // One 中止 stops every region; none is left half-built.
    const std::string before = readFile(dir.file("鳥取県.mdb"));
    stopOnTick = true;
    EXPECT_EQ(window.startBuild(ImportMode::Register).kind, Outcome::Kind::Stopped);
    for (int r = 0; r < 3; ++r)
        EXPECT_NE(table->item(r, 1)->text(), QStringLiteral("完了")) << r;
    EXPECT_EQ(readFile(dir.file("鳥取県.mdb")), before);
    EXPECT_FALSE(fileExists(dir.file("鳥取県_$$$.mdb")));
}

}  // namespace
