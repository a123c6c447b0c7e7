// The progress window as the engine drives it through the person, and the
// directory chooser's answer.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "UiFixture.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveList.h"
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

TEST_F(ProgressTest, TitleBarCloseIsNoStopAndLaterLabelsStayHidden) {
    StopControl stop;
    Progress report;
    report.target = "東京都.mdb";
    report.step = ProgressStep::CreatingTables;
    person.runStarted(stop, true);
    person.progress(report);
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProc), "位置参照情報テーブル作成中です");
    dialog().close();
    EXPECT_FALSE(stop.stopRequested());
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProc), "") << "a closed window starts blank";
    report.step = ProgressStep::Staging;
    report.rows = 120;
    person.progress(report);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProcSub), "120");
    person.runEnded();
}

TEST_F(ProgressTest, PostalBuildShowsNoStopButton) {
    StopControl stop;
    person.runStarted(stop, false);
    EXPECT_FALSE(dialog().stopButton()->isVisible());
    person.runEnded();
    person.runStarted(stop, true);
    EXPECT_TRUE(dialog().stopButton()->isVisible());
    person.runEnded();
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(ProgressTest, CountsInFullWidthForTheNotices) {
    EXPECT_EQ(ui::fullWidthNumber(2), "２");
    EXPECT_EQ(ui::fullWidthNumber(1000), "１０００");
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
