// The 全国一括登録 window offscreen: one row per prefecture, the GUI thread free
// while the build runs, and its 中止 stopping every region.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <fstream>

#include "UiFixture.h"
#include "base/Paths.h"
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

// The main window's start line is read by the one rule (full-width digits
// too); a text the rule refuses means the first line.
TEST_F(NationalBuildWindowTest, TheStartLineIsTheMainWindowsByTheOneRule) {
    writePrefecture("30.csv", "和歌山県", 1);
    ui::NationalBuildWindow window(session, person);
    auto* table = child<QTableWidget>(&window, "tblRegions");
    session.posInfoStart = "abc";
    window.setSources({QString::fromStdString(csvDir.path())});
    EXPECT_EQ(table->rowCount(), 1);
    session.posInfoStart = "２";
    window.setSources({QString::fromStdString(csvDir.path())});
    EXPECT_EQ(table->rowCount(), 0) << "the only row is on line 1";
}

TEST_F(NationalBuildWindowTest, RowsAppearWhileTheGuiThreadStaysFreeAndStopStopsAll) {
    createPostTable(basePath);
    writePrefecture("30.csv", "和歌山県", 20000);
    writePrefecture("31.csv", "鳥取県", 20000);
    writePrefecture("32.csv", "島根県", 20000);
    ui::NationalBuildWindow window(session, person);
    window.show();
    window.setSources({QString::fromStdString(csvDir.path())});
    auto* table = child<QTableWidget>(&window, "tblRegions");
    ASSERT_EQ(table->rowCount(), 3) << "the prefectures found are listed before the build";
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("新規"));

    int ticksDuringRun = 0, rowsSeen = 0;
    bool stopOnTick = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!window.running())
            return;
        ++ticksDuringRun;
        rowsSeen = std::max(rowsSeen, table->rowCount());
        if (stopOnTick && table->cellWidget(0, 2))  // the build's rows, not the list found
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
    auto* overall = child<QLabel>(&window, "lblOverall");
    EXPECT_TRUE(overall->text().startsWith(QStringLiteral("全体: 3 地域 (完了 3)  時間: ")))
        << overall->text().toStdString();
    EXPECT_EQ(table->item(0, 5)->text(), QStringLiteral("20000"));  // rows, as mrk2cli's table

    // Existing regions are rebuilt only when the operator says so.
    const std::string before = readFile(dir.file("鳥取県.mdb"));
    EXPECT_EQ(window.startBuild(ImportMode::Register).kind, Outcome::Kind::NothingToDo);
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_TRUE(prompter.questions[0].text.contains(QStringLiteral("鳥取県")));
    EXPECT_EQ(prompter.questionButtons[0], ui::QuestionButtons::OkCancel);

    window.setSources({QString::fromStdString(csvDir.path())});
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("既存"));

    // One 中止 stops every region; none is left half-built, and the window
    // counts what ended how, with no share and no time left.
    prompter.answers = {Answer::Yes};
    stopOnTick = true;
    EXPECT_EQ(window.startBuild(ImportMode::Register).kind, Outcome::Kind::Stopped);
    for (int r = 0; r < 3; ++r) {
        EXPECT_NE(table->item(r, 1)->text(), QStringLiteral("完了")) << r;
        if (table->item(r, 1)->text() == QStringLiteral("未実行")) {
            EXPECT_EQ(table->item(r, 3)->text(), QString()) << "a region never begun took no time";
        }
    }
    const QString end = overall->text();
    EXPECT_TRUE(end.startsWith(QStringLiteral("全体: 3 地域 (完了 0、")) &&
                end.endsWith("処理を中止しました。"))
        << end.toStdString();
    EXPECT_FALSE(end.contains('%') || end.contains(QStringLiteral("残り"))) << end.toStdString();
    EXPECT_EQ(readFile(dir.file("鳥取県.mdb")), before);
    EXPECT_FALSE(fileExists(dir.file("鳥取県_$$$.mdb")));
}

}  // namespace
