// The progress window as the engine drives it through the person, and the
// directory chooser's hand-over through strSelectPath / blnSelectOk.
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

TEST_F(ProgressTest, StopClearsTheRunFlagAndClosesTheWindow) {
    state.blnProcessing = true;
    person.setProgressLabel(ProgressLabel::OnProccess, "データベース作成中 (東京都.mdb)");
    person.showProgress(true);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "データベース更新");
    EXPECT_EQ(dialog().label(ProgressLabel::OnProccess), "データベース作成中 (東京都.mdb)");
    dialog().stopButton()->click();
    EXPECT_FALSE(state.blnProcessing);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(prompter.messages.empty()) << "Stop asks nothing and says nothing";
}

TEST_F(ProgressTest, OnlyTheRunsEndClosesItAndLaterLabelsStayHidden) {
    state.blnProcessing = true;
    person.showProgress(true);
    person.setProgressLabel(ProgressLabel::DetailProc, "位置参照情報テーブル作成中です");
    dialog().setProgressFraction(0.5);
    EXPECT_FALSE(dialog().close()) << "no close from outside while the run goes on";
    EXPECT_TRUE(dialog().isVisible());
    person.closeProgress();
    EXPECT_TRUE(state.blnProcessing);
    person.setProgressLabel(ProgressLabel::DetailProcSub, "120");
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProc), "") << "a closed window starts blank";
    EXPECT_EQ(dialog().label(ProgressLabel::DetailProcSub), "120");
    EXPECT_TRUE(dialog().progressBar()->isHidden()) << "the bar shows only once a run sets it";
}

TEST_F(ProgressTest, PostalBuildShowsNoStopButton) {
    person.showProgress(false);
    EXPECT_FALSE(dialog().stopButton()->isVisible());
    person.closeProgress();
    person.showProgress(true);
    EXPECT_TRUE(dialog().stopButton()->isVisible());
    person.closeProgress();
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

TEST_F(ProgressTest, NumbersAndNumericTextsForTheWindows) {
    EXPECT_EQ(ui::fullWidthNumber(2), "２");
    EXPECT_EQ(ui::fullWidthNumber(1000), "１０００");
    EXPECT_TRUE(ui::isNumericText(" 12 "));
    EXPECT_TRUE(ui::isNumericText("1e3"));
    EXPECT_FALSE(ui::isNumericText("abc"));
    EXPECT_FALSE(ui::isNumericText(""));
    EXPECT_FALSE(ui::isNumericText("12abc"));
    EXPECT_FALSE(ui::isNumericText("inf"));
    EXPECT_FALSE(ui::isNumericText("nan"));
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
};

TEST_F(ChooserTest, CancelReturnsEmptyAndFalse) {
    state.strSelectPath = dir.path();
    state.blnSelectOk = true;
    DirectoryChooser chooser(state, person);
    EXPECT_EQ(text(chooser)->text().toStdString(), dir.path());
    child<QPushButton>(&chooser, "cmdCancel")->click();
    EXPECT_EQ(state.strSelectPath, "");
    EXPECT_FALSE(state.blnSelectOk);
}

TEST_F(ChooserTest, OkReturnsTheTypedTextUnchecked) {
    state.strSelectPath = dir.path();
    DirectoryChooser chooser(state, person);
    text(chooser)->setText("/no/such/directory ");
    child<QPushButton>(&chooser, "cmdOk")->click();
    EXPECT_EQ(state.strSelectPath, "/no/such/directory ");
    EXPECT_TRUE(state.blnSelectOk);
}

TEST_F(ChooserTest, HighlightedDirectoryIsTheAnswerThoughNeverOpened) {
    QDir(QString::fromStdString(dir.path())).mkdir("sub");
    state.strSelectPath = dir.path();
    DirectoryChooser chooser(state, person);
    chooser.highlight(QString::fromStdString(dir.file("sub")));
    child<QPushButton>(&chooser, "cmdOk")->click();
    EXPECT_EQ(state.strSelectPath, dir.file("sub"));
}

TEST_F(ChooserTest, RelativeOrEmptyStartPathStartsInTheCurrentDirectory) {
    for (std::string start : {"relative/dir", ""}) {
        state.strSelectPath = start;
        DirectoryChooser chooser(state, person);
        EXPECT_EQ(state.strSelectPath, csvDir.path());
        EXPECT_EQ(text(chooser)->text().toStdString(), csvDir.path());
        EXPECT_EQ(chooser.dirPath().toStdString(), csvDir.path());
    }
}

TEST_F(ChooserTest, MissingStartDirectoryIsSkippedSilently) {
    state.strSelectPath = dir.file("gone/away");
    DirectoryChooser chooser(state, person);
    EXPECT_TRUE(prompter.messages.empty());
    const QString drive = ui::driveOf(QString::fromStdString(dir.path()), ui::driveRoots());
    EXPECT_EQ(text(chooser)->text(), drive)
        << "the drive step stands, the directory step is skipped";
}

TEST_F(ChooserTest, TitleBarCloseLeavesAnEarlierOkStanding) {
    state.strSelectPath = dir.path();
    state.blnSelectOk = true;
    DirectoryChooser chooser(state, person);
    chooser.show();
    chooser.close();
    EXPECT_TRUE(state.blnSelectOk);
    EXPECT_EQ(state.strSelectPath, dir.path());
}

}  // namespace
