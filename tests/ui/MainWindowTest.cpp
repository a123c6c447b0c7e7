// The main window driven through its controls, with a scripted person.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "UiFixture.h"
#include "app/Config.h"
#include "app/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "support/RecordingPerson.h"
#include "ui/CsvSelectionWindow.h"
#include "ui/DirectoryChooser.h"
#include "ui/MainWindow.h"
#include "ui/StartLineBox.h"

using namespace mrk2;
using namespace mrk2::test;
using mrk2::ui::MainWindow;
using mrk2::ui::StartLineBox;

namespace {

void pressKey(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
}

void leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &out);
}

struct MainWindowTest : ::testing::Test, UiFixture {
    MainWindow window{state, person};
    int modalRuns = 0;
    std::function<void(QDialog&)> onModal;

    MainWindowTest() {
        window.runModal = [this](QDialog& d) {
            ++modalRuns;
            if (onModal)
                onModal(d);
            return int(d.result());
        };
        person.setButtonEnabledHandler([this](bool on) {
            buttonStates.push_back(on);
            window.buttonEnabled(on);
        });
    }
    void iniWithDbDir(std::vector<std::string> more = {}) {
        more.insert(more.begin(), "DBDIR=" + dir.path());
        writeIni(more);
    }
    QComboBox* regionBox() { return child<QComboBox>(&window, "cmbPrefDB"); }
    QLineEdit* dbDirBox() { return child<QLineEdit>(&window, "txtDbDir"); }
    void click(const char* name) { child<QPushButton>(&window, name)->click(); }
    QStringList regionList() {
        QStringList out;
        for (int i = 0; i < regionBox()->count(); ++i)
            out << regionBox()->itemText(i);
        return out;
    }
};

TEST_F(MainWindowTest, LoadSelectsTheSavedRegionAndRestoresStartLinesAndPostalPath) {
    addCatalogRow("大阪府");
    addCatalogRow("東京都");
    const std::string postal = writeCsv("KEN_ALL.CSV", 1);
    iniWithDbDir({"PREFDIR=東京都.mdb", "POSINFOSTART=3", "POSTALSTART=7", "POSTALPATH=" + postal});
    window.formLoad();

    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();
    EXPECT_EQ(regionList(), (QStringList{"大阪府", "東京都"}));
    EXPECT_EQ(regionBox()->currentText(), "東京都");
    EXPECT_EQ(child<StartLineBox>(&window, "txtCensusStartLine")->lineText(), "3");
    EXPECT_EQ(child<StartLineBox>(&window, "txtPostalStartLine")->lineText(), "7");
    EXPECT_EQ(child<QLineEdit>(&window, "txtPostalCsv")->text().toStdString(), postal);
}

TEST_F(MainWindowTest, SavedRegionMissingFromTheCatalogLeavesTheBoxEmpty) {
    addCatalogRow("大阪府");
    iniWithDbDir({"PREFDIR=北海道.mdb"});
    window.formLoad();
    EXPECT_EQ(regionBox()->currentText(), "");
    EXPECT_EQ(regionList(), QStringList{"大阪府"});
}

TEST_F(MainWindowTest, UnreadablePrefectureTableStopsTheLoadAfterTheRegionList) {
    addCatalogRow("東京都");
    Database::open(state.strBaseDbPath).exec("DELETE FROM 都道府県名");
    iniWithDbDir({"PREFDIR=東京都.mdb", "POSINFOSTART=3", "POSTALPATH=/x.csv"});
    window.formLoad();

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(regionList(), QStringList{"東京都"});  // filled by the directory check
    EXPECT_EQ(regionBox()->currentText(), "");
    EXPECT_EQ(child<StartLineBox>(&window, "txtCensusStartLine")->lineText(), "1");
    EXPECT_EQ(child<QLineEdit>(&window, "txtPostalCsv")->text(), "");
}

TEST_F(MainWindowTest, DirectoryTextIsCheckedWhenEditingEndsNotPerKeystroke) {
    iniWithDbDir();
    window.formLoad();
    TempDir other;
    createBaseDatabase(other.file("mrk2.mdb"));
    {
        Database db = Database::open(other.file("mrk2.mdb"));
        db.exec("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES ('北海道', '/x')");
    }
    QLineEdit* box = dbDirBox();
    box->clear();
    for (QChar c : QString::fromStdString(other.path()))
        pressKey(box, c.unicode(), QString(c));
    EXPECT_TRUE(prompter.messages.empty()) << "a half-typed path is no error";
    EXPECT_EQ(state.strDbDir, dir.path());

    pressKey(box, Qt::Key_Return);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(state.strDbDir, other.path());
    EXPECT_EQ(state.strBaseDbPath, other.file("mrk2.mdb"));
    EXPECT_EQ(regionList(), QStringList{"北海道"});

    box->setText(QString::fromStdString(dir.file("nothing-here")));
    leave(box);
    pressKey(box, Qt::Key_Return);  // the same text again asks nothing new
    ASSERT_EQ(prompter.texts(), QStringList{"基本データベースが見つかりません。"});
    EXPECT_EQ(box->text().toStdString(), other.path());
    EXPECT_EQ(state.strDbDir, other.path());
}

TEST_F(MainWindowTest, DirectoryButtonTakesTheChosenDirectoryAndSavesIt) {
    iniWithDbDir();
    window.formLoad();
    TempDir other;
    createBaseDatabase(other.file("mrk2.mdb"));
    onModal = [&](QDialog& d) {
        ASSERT_NE(qobject_cast<ui::DirectoryChooser*>(&d), nullptr);
        EXPECT_EQ(state.strSelectPath, dir.path());
        child<QLineEdit>(&d, "txtSelectDir")->setText(QString::fromStdString(other.path()));
        child<QPushButton>(&d, "cmdOk")->click();
    };
    click("cmdDbDir");
    EXPECT_EQ(dbDirBox()->text().toStdString(), other.path());
    AppState reread;
    reread.strIniPath = state.strIniPath;
    RecordingPerson quiet;
    ASSERT_TRUE(loadIniFile(reread, quiet));
    EXPECT_EQ(reread.strDbDir, other.path());
}

TEST_F(MainWindowTest, LeavingTheRegionBoxReadsTheSourceListOnlyForANewName) {
    iniWithDbDir();
    window.formLoad();
    makeRegionDb("東京都", {{"/data", "13101.csv"}, {"/data", "13102.csv"}},
                 {"2020-01-01 00:00:00", "2020-01-02 00:00:00"});
    regionBox()->setEditText("東京都");
    leave(regionBox());
    EXPECT_EQ(state.strPrefDb, "東京都.mdb");
    EXPECT_EQ(state.strPrefDbPath, dir.file("東京都.mdb"));
    EXPECT_EQ(state.strRegionName, "東京都");
    ASSERT_EQ(state.srcFiles.size(), 2u);
    EXPECT_EQ(state.srcFiles[1], (SourceFile{"/data", "13102.csv"}));

    state.srcFiles.pop_back();
    leave(regionBox());
    EXPECT_EQ(state.srcFiles.size(), 1u) << "the same name must not re-read the list";

    regionBox()->setEditText("大阪府");
    leave(regionBox());
    EXPECT_EQ(state.strPrefDb, "大阪府.mdb");
    EXPECT_TRUE(state.srcFiles.empty());
}

TEST_F(MainWindowTest, RegisterChecksRegionAndStartLineBeforeOpeningTheSelection) {
    iniWithDbDir();
    window.formLoad();
    click("cmdSelect");
    EXPECT_EQ(prompter.texts(), QStringList{"地域名(地域別DB)を選択して下さい。"});

    regionBox()->setEditText("東京都");
    auto* startLine = child<StartLineBox>(&window, "txtCensusStartLine");
    startLine->setLineText("abc");
    click("cmdSelect");
    EXPECT_EQ(prompter.texts().last(), "開始行数に数値を入力して下さい");
    EXPECT_EQ(window.focusWidget(), startLine);
    EXPECT_EQ(modalRuns, 0);

    regionBox()->setEditText("../東京都");
    startLine->setLineText("2");
    click("cmdSelect");
    EXPECT_EQ(modalRuns, 0) << "a name that leaves the directory is refused";

    regionBox()->setEditText("東京都");
    onModal = [&](QDialog& d) {
        ASSERT_NE(qobject_cast<ui::CsvSelectionWindow*>(&d), nullptr);
        EXPECT_EQ(state.strPrefDbPath, dir.file("東京都.mdb"));
        EXPECT_EQ(state.strRegionName, "東京都");
        EXPECT_EQ(state.strPosInfoStart, "2");
        auto* csv = static_cast<ui::CsvSelectionWindow*>(&d);
        csv->browse(QString::fromStdString(csvDir.path()));
        child<QPushButton>(&d, "cmdCancel")->click();
    };
    click("cmdSelect");
    EXPECT_EQ(modalRuns, 1);
    EXPECT_EQ(child<QLineEdit>(&window, "txtCensusCsv")->text().toStdString(), csvDir.path());
}

TEST_F(MainWindowTest, RegisteredRegionJoinsTheListWhenTheSelectionWindowCloses) {
    addCatalogRow("大阪府");
    writeCsv("13101.csv", 3);
    iniWithDbDir();
    window.formLoad();
    regionBox()->setEditText("東京都");
    onModal = [&](QDialog& d) {
        static_cast<ui::CsvSelectionWindow&>(d).browse(QString::fromStdString(csvDir.path()));
        child<QPushButton>(&d, "cmdSelectAll")->click();
        child<QPushButton>(&d, "cmdSelect")->click();
    };
    click("cmdSelect");
    EXPECT_EQ(prompter.texts().last(), "処理を完了しました。");
    EXPECT_EQ(regionList(), (QStringList{"大阪府", "東京都"}));
    EXPECT_EQ(regionBox()->currentText(), "東京都");
}

TEST_F(MainWindowTest, HiddenControlsStayHiddenWhenButtonsComeBack) {
    window.show();
    window.buttonEnabled(false);
    EXPECT_FALSE(child<QPushButton>(&window, "cmdExit")->isEnabled());
    EXPECT_FALSE(dbDirBox()->isEnabled());
    window.buttonEnabled(true);
    EXPECT_TRUE(child<QPushButton>(&window, "cmdSelect")->isEnabled());
    for (const char* name : {"cmdRegister", "cmdBackUp", "cmdDetail", "cmdUserDictionary"}) {
        EXPECT_TRUE(child<QPushButton>(&window, name)->isEnabled()) << name;
        EXPECT_FALSE(child<QPushButton>(&window, name)->isVisible()) << name;
    }
    EXPECT_FALSE(child<QLineEdit>(&window, "txtCensusCsv")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(&window, "txtDbName")->isVisible());
    window.close();
}

TEST_F(MainWindowTest, ClosingSavesStartLinesButNotAPostalPathThatNamesNoFile) {
    const std::string postal = writeCsv("KEN_ALL.CSV", 1);
    iniWithDbDir({"POSTALPATH=" + postal});
    window.formLoad();
    child<StartLineBox>(&window, "txtCensusStartLine")->setLineText("4");
    child<StartLineBox>(&window, "txtPostalStartLine")->setLineText("9");
    child<QLineEdit>(&window, "txtPostalCsv")->setText("/no/such/file.csv");
    window.show();
    click("cmdExit");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(state.blnBaseDbOpen);

    AppState reread;
    reread.strIniPath = state.strIniPath;
    RecordingPerson quiet;
    ASSERT_TRUE(loadIniFile(reread, quiet));
    EXPECT_EQ(reread.strPosInfoStart, "4");
    EXPECT_EQ(reread.strPostalStart, "9");
    EXPECT_EQ(reread.strPostalPath, postal);
}

TEST_F(MainWindowTest, ClosingDuringARunAsksFirstFromTheButtonAndFromTheTitleBar) {
    iniWithDbDir();
    window.formLoad();
    window.show();
    state.blnProcessing = true;

    prompter.answers = {Answer::No};
    window.close();  // title bar
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0].caption, "Mrk2Tool");
    EXPECT_EQ(prompter.questions[0].text, "データベース処理中です。\n強制的に終了しますか？");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(state.blnProcessing);
    EXPECT_FALSE(state.blnForceQuit);

    prompter.answers = {Answer::No};
    click("cmdExit");
    EXPECT_TRUE(window.isVisible());

    prompter.answers = {Answer::Yes};
    click("cmdExit");
    EXPECT_EQ(prompter.questions.size(), 3u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(state.blnForceQuit);
    EXPECT_FALSE(state.blnProcessing);
}

TEST_F(MainWindowTest, DeleteRemovesTheRegionAndReloadsTheList) {
    addCatalogRow("大阪府");
    addCatalogRow("東京都");
    makeRegionDb("東京都", {}, {});
    iniWithDbDir();
    window.formLoad();
    regionBox()->setEditText("東京都");
    prompter.answers = {Answer::Yes};
    click("cmdDelete");
    EXPECT_EQ(prompter.questions.size(), 1u);
    EXPECT_FALSE(fileExists(dir.file("東京都.mdb")));
    EXPECT_EQ(regionList(), QStringList{"大阪府"});
}

}  // namespace
