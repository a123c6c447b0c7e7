// The progress window as the engine drives it through the person, and the
// directory chooser's answer.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include "UiFixture.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveList.h"
#include "ui/TimeLeftText.h"
#include "ui/UiText.h"

using namespace mrk2;
using namespace mrk2::test;
using mrk2::ui::DirectoryChooser;

namespace {

struct ProgressTest : ::testing::Test, UiFixture {
    ui::ProgressDialog& dialog() { return person.progressDialog(); }
};

TEST_F(ProgressTest, StopSetsTheRunsStopAndClosesTheWindow) {
    StopControl stop;
    Progress report;
    report.target = "東京都.mdb";
    person.runStarted(stop, true);
    person.progress(report);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "データベース更新");
    EXPECT_EQ(dialog().label(ProgressLabel::OnProccess), "データベース作成中 (東京都.mdb)");
    dialog().stopButton()->click();
    EXPECT_TRUE(stop.stopRequested());
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(prompter.messages.empty()) << "Stop asks nothing and says nothing";
    person.runEnded();
}

TEST_F(ProgressTest, OnlyTheRunsEndClosesItAndLaterLabelsStayHidden) {
    StopControl stop;
    Progress report;
    report.target = "東京都.mdb";
    report.step = ProgressStep::CreatingTables;
    person.runStarted(stop, true);
    person.progress(report);
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProc), "位置参照情報テーブル作成中です");
    dialog().setProgressFraction(0.5);
    EXPECT_FALSE(dialog().close()) << "no close from outside while the run goes on";
    EXPECT_TRUE(dialog().isVisible());
    person.runEnded();
    EXPECT_FALSE(stop.stopRequested());
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProc), "") << "a closed window starts blank";
    report.step = ProgressStep::Staging;
    report.rows = 120;
    person.progress(report);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProcSub), "120");
    EXPECT_TRUE(dialog().progressBar()->isHidden()) << "the bar shows only once a run sets it";
}

TEST_F(ProgressTest, PostalBuildShowsNoStopButton) {
    StopControl stop;
    // The window opens with a run's first report.
    person.runStarted(stop, false);
    EXPECT_FALSE(dialog().isVisible());
    person.progress(Progress());
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_FALSE(dialog().stopButton()->isVisible());
    person.runEnded();
    person.runStarted(stop, true);
    person.progress(Progress());
    EXPECT_TRUE(dialog().stopButton()->isVisible());
    person.runEnded();
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(ProgressTest, TimeLeftIsRoundedUpToWholeMinutes) {
    using std::chrono::seconds;
    EXPECT_EQ(ui::timeLeftText(seconds(59)), "残り1分未満");
    EXPECT_EQ(ui::timeLeftText(seconds(61)), "残り約2分");
    EXPECT_EQ(ui::timeLeftText(seconds(3600)), "残り約1時間0分");
    EXPECT_EQ(ui::timeLeftText(seconds(3601)), "残り約1時間1分");
    dialog().setTimeLeft(seconds(600));
    EXPECT_EQ(dialog().timeLeftLabel()->text(), "残り約10分");
    dialog().setTimeLeft(std::nullopt);
    EXPECT_TRUE(dialog().timeLeftLabel()->isHidden());
}

TEST_F(ProgressTest, CountsInFullWidthForTheNotices) {
    EXPECT_EQ(ui::fullWidthNumber(2), "２");
    EXPECT_EQ(ui::fullWidthNumber(1000), "１０００");
}

// The test program loads Qt's translations as the tool does at start-up.
TEST(QtTranslationTest, StandardButtonsReadInJapaneseWhenInstalled) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm"))
        GTEST_SKIP() << "Qt's Japanese translations are not installed";
    QMessageBox box(QMessageBox::NoIcon, "t", "x",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith("はい"))
        << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith("いいえ"));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().startsWith("キャンセル"));
}

struct ChooserTest : ::testing::Test, UiFixture {
    QLineEdit* text(DirectoryChooser& d) { return child<QLineEdit>(&d, "txtSelectDir"); }
    QString qdir() const { return QString::fromStdString(dir.path()); }
};

TEST_F(ChooserTest, CancelReturnsEmptyAndFalse) {
    DirectoryChooser chooser(qdir(), person);
    EXPECT_EQ(text(chooser)->text().toStdString(), dir.path());
    child<QPushButton>(&chooser, "cmdCancel")->click();
    EXPECT_EQ(chooser.selectedPath(), "");
    EXPECT_FALSE(chooser.chosen());
}

TEST_F(ChooserTest, OkReturnsTheTypedTextUnchecked) {
    DirectoryChooser chooser(qdir(), person);
    text(chooser)->setText("/no/such/directory ");
    child<QPushButton>(&chooser, "cmdOk")->click();
    EXPECT_EQ(chooser.selectedPath(), "/no/such/directory ");
    EXPECT_TRUE(chooser.chosen());
}

TEST_F(ChooserTest, HighlightedDirectoryIsTheAnswerThoughNeverOpened) {
    QDir(qdir()).mkdir("sub");
    DirectoryChooser chooser(qdir(), person);
    chooser.highlight(QString::fromStdString(dir.file("sub")));
    child<QPushButton>(&chooser, "cmdOk")->click();
    EXPECT_EQ(chooser.selectedPath().toStdString(), dir.file("sub"));
}

TEST_F(ChooserTest, RelativeOrEmptyStartPathStartsInTheCurrentDirectory) {
    for (const char* start : {"relative/dir", ""}) {
        DirectoryChooser chooser(QString::fromUtf8(start), person);
        EXPECT_EQ(chooser.selectedPath().toStdString(), csvDir.path());
        EXPECT_EQ(text(chooser)->text().toStdString(), csvDir.path());
        EXPECT_EQ(chooser.dirPath().toStdString(), csvDir.path());
    }
}

TEST_F(ChooserTest, MissingStartDirectoryIsSkippedSilently) {
    DirectoryChooser chooser(QString::fromStdString(dir.file("gone/away")), person);
    EXPECT_TRUE(prompter.messages.empty());
    const QString drive = ui::driveOf(qdir(), ui::driveRoots());
    EXPECT_EQ(text(chooser)->text(), drive)
        << "the drive step stands, the directory step is skipped";
}

TEST_F(ChooserTest, TitleBarCloseLeavesAnEarlierOkStanding) {
    DirectoryChooser chooser(qdir(), person);
    chooser.show();
    child<QPushButton>(&chooser, "cmdOk")->click();
    chooser.show();
    chooser.close();
    EXPECT_TRUE(chooser.chosen());
    EXPECT_EQ(chooser.selectedPath().toStdString(), dir.path());
}

}  // namespace
