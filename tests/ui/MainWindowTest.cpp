// The main window driven through its controls, with a scripted person.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <fstream>

#include "UiFixture.h"
#include "base/Config.h"
#include "base/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "support/RecordingPerson.h"
#include "ui/CsvSelectionWindow.h"
#include "ui/DirectoryChooser.h"
#include "ui/MainWindow.h"
#include "ui/NationalBuildWindow.h"
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
    MainWindow window{session, person};
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
    Database::open(basePath).exec("DELETE FROM 都道府県名");
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
    EXPECT_EQ(session.dbDir, dir.path());

    pressKey(box, Qt::Key_Return);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(session.dbDir, other.path());
    EXPECT_EQ(session.baseDbPath(), other.file("mrk2.mdb"));
    EXPECT_EQ(regionList(), QStringList{"北海道"});

    box->setText(QString::fromStdString(dir.file("nothing-here")));
    leave(box);
    pressKey(box, Qt::Key_Return);             // the same text again asks nothing new
    ASSERT_EQ(prompter.questions.size(), 1u);  // to make it: answered No
    EXPECT_TRUE(prompter.questions[0].text.startsWith("このディレクトリはありません。"));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(box->text().toStdString(), other.path());
    EXPECT_EQ(session.dbDir, other.path());
}

TEST_F(MainWindowTest, DirectoryButtonTakesTheChosenDirectoryAndSavesIt) {
    iniWithDbDir();
    window.formLoad();
    TempDir other;
    createBaseDatabase(other.file("mrk2.mdb"));
    onModal = [&](QDialog& d) {
        ASSERT_NE(qobject_cast<ui::DirectoryChooser*>(&d), nullptr);
        EXPECT_EQ(child<QLineEdit>(&d, "txtSelectDir")->text().toStdString(), dir.path());
        child<QLineEdit>(&d, "txtSelectDir")->setText(QString::fromStdString(other.path()));
        child<QPushButton>(&d, "cmdOk")->click();
    };
    click("cmdDbDir");
    EXPECT_EQ(dbDirBox()->text().toStdString(), other.path());
    RecordingPerson quiet;
    EXPECT_EQ(loadSettings(session.settings.iniPath, quiet).dbDir, other.path());
}

TEST_F(MainWindowTest, LeavingTheRegionBoxReadsTheSourceListOnlyForANewName) {
    iniWithDbDir();
    window.formLoad();
    makeRegionDb("東京都", {{"/data", "13101.csv"}, {"/data", "13102.csv"}},
                 {"2020-01-01 00:00:00", "2020-01-02 00:00:00"});
    regionBox()->setEditText("東京都");
    leave(regionBox());
    EXPECT_EQ(session.regionFileName, "東京都.mdb");
    EXPECT_EQ(session.regionDbPath(), dir.file("東京都.mdb"));
    EXPECT_EQ(session.regionName, "東京都");
    ASSERT_EQ(session.sources.size(), 2u);
    EXPECT_EQ(session.sources[1], (SourceFile{"/data", "13102.csv"}));

    session.sources.pop_back();
    leave(regionBox());
    EXPECT_EQ(session.sources.size(), 1u) << "the same name must not re-read the list";

    regionBox()->setEditText("大阪府");
    leave(regionBox());
    EXPECT_EQ(session.regionFileName, "大阪府.mdb");
    EXPECT_TRUE(session.sources.empty());
}

TEST_F(MainWindowTest, RegisterChecksRegionAndStartLineBeforeOpeningTheSelection) {
    iniWithDbDir();
    window.formLoad();
    click("cmdSelect");
    EXPECT_EQ(prompter.texts(), QStringList{"地域名(地域別DB)を選択して下さい。"});

    regionBox()->setEditText("東京都");
    auto* startLine = child<StartLineBox>(&window, "txtCensusStartLine");
    // mrk2cli refuses these start lines with the same words.
    const std::pair<const char*, const char*> refused[] = {
        {"abc", "開始行数に数値を入力して下さい"},
        {"0x10", "開始行数に数値を入力して下さい"},
        {"0", "開始行数には 1 から 32767 までの数値を入力して下さい"},
    };
    for (const auto& [text, message] : refused) {
        SCOPED_TRACE(text);
        regionBox()->setFocus();
        startLine->setLineText(QString::fromUtf8(text));
        click("cmdSelect");
        EXPECT_EQ(prompter.texts().last(), message);
        EXPECT_EQ(window.focusWidget(), startLine);
        EXPECT_EQ(modalRuns, 0);
    }

    regionBox()->setEditText("../東京都");
    startLine->setLineText("２");
    click("cmdSelect");
    EXPECT_EQ(modalRuns, 0) << "a name that leaves the directory is refused";
    const std::string base = readFile(dir.file("mrk2.mdb"));
    for (const char* name : {"mrk2", "Mrk2", "東京_$$$", "mrk_cmpact"}) {
        regionBox()->setEditText(QString::fromUtf8(name));
        click("cmdSelect");
        EXPECT_TRUE(prompter.texts().last().contains("作業ファイルの名前と重なります")) << name;
        click("cmdDelete");
        EXPECT_TRUE(prompter.texts().last().contains("作業ファイルの名前と重なります")) << name;
        EXPECT_EQ(modalRuns, 0) << name;
    }
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(readFile(dir.file("mrk2.mdb")), base);

    regionBox()->setEditText("東京都");
    onModal = [&](QDialog& d) {
        ASSERT_NE(qobject_cast<ui::CsvSelectionWindow*>(&d), nullptr);
        EXPECT_EQ(session.regionDbPath(), dir.file("東京都.mdb"));
        EXPECT_EQ(session.regionName, "東京都");
        EXPECT_EQ(session.posInfoStart, "２");
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
    EXPECT_TRUE(prompter.texts().last().startsWith("処理を完了しました。"));
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

    RecordingPerson quiet;
    const Settings reread = loadSettings(session.settings.iniPath, quiet);
    EXPECT_EQ(reread.posInfoStart, "4");
    EXPECT_EQ(reread.postalStart, "9");
    EXPECT_EQ(reread.postalPath, postal);
}

TEST_F(MainWindowTest, ClosingDuringARunAsksFirstFromTheButtonAndFromTheTitleBar) {
    iniWithDbDir();
    window.formLoad();
    window.show();
    StopControl stop;  // of the run going on
    session.running = true;
    session.stop = &stop;

    prompter.answers = {Answer::No};
    window.close();  // title bar
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0].caption, "Mrk2Tool");
    EXPECT_EQ(prompter.questions[0].text, "データベース処理中です。\n強制的に終了しますか？");
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(stop.stopRequested());
    EXPECT_FALSE(session.forceQuit);

    prompter.answers = {Answer::No};
    click("cmdExit");
    EXPECT_TRUE(window.isVisible());

    prompter.answers = {Answer::Yes};
    click("cmdExit");
    EXPECT_EQ(prompter.questions.size(), 3u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(session.forceQuit);
    EXPECT_TRUE(stop.stopRequested());
    session.stop = nullptr;
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
    // The end message says what went, as mrk2cli delete prints it.
    ASSERT_FALSE(prompter.messages.empty());
    const QString end = prompter.messages.back().text;
    EXPECT_TRUE(end.startsWith("処理を完了しました。\n\n削除した地域: 東京都 (東京都.mdb, "))
        << end.toStdString();
    EXPECT_TRUE(end.contains("地域一覧: 1 → 0\n時間: ")) << end.toStdString();
}

TEST_F(MainWindowTest, ThePostalBuildEndsWithPostsRowsBeforeAndAfter) {
    const std::string csv = joinPath(csvDir.path(), "KEN_ALL.CSV");
    std::ofstream(csv, std::ios::binary) << sjis(
        "13101,\"100  \",\"1000002\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ｶﾅ\",\"東京都\",\"千代田区\","
        "\"皇居外苑\",0,0,0,0,0,0\r\n"
        "13101,\"100  \",\"1000003\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ｶﾅ\",\"東京都\",\"千代田区\","
        "\"一ツ橋\",0,0,0,0,0,0\r\n");
    iniWithDbDir();
    window.formLoad();
    child<QLineEdit>(&window, "txtPostalCsv")->setText(QString::fromStdString(csv));
    click("cmdUpdate");
    ASSERT_FALSE(prompter.messages.empty());
    const QString end = prompter.messages.back().text;
    EXPECT_TRUE(end.startsWith("処理を完了しました。\n\nPOST: 0 → 2 件\n時間: "))
        << end.toStdString();
}

}  // namespace

namespace {

// A region registered by another process joins the list while the window is
// open; what the box shows stays.
TEST_F(MainWindowTest, TheRegionListFollowsChangesOfAnotherProcess) {
    addCatalogRow("大阪府");
    iniWithDbDir({"PREFDIR=大阪府.mdb"});
    window.formLoad();
    window.followBaseDatabase();  // nothing changed: nothing read
    addCatalogRow("東京都");
    window.followBaseDatabase();
    EXPECT_EQ(regionList(), (QStringList{"大阪府", "東京都"}));
    EXPECT_EQ(regionBox()->currentText(), "大阪府");
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();
}

TEST_F(MainWindowTest, StartLineBoxesTakeFullWidthDigits) {
    auto* box = child<StartLineBox>(&window, "txtCensusStartLine");
    auto* edit = box->findChild<QLineEdit*>();
    edit->setText(box->prefix() + QStringLiteral("１２"));
    box->interpretText();
    EXPECT_EQ(box->value(), 12);
    edit->setText(box->prefix() + QStringLiteral("32767"));
    box->interpretText();
    EXPECT_EQ(box->value(), 32767);
}

}  // namespace

namespace {

// A first start: a directory without a base database is offered one, made as
// mrk2cli init makes it; no SQLite message about "/mrk2.mdb".
TEST_F(MainWindowTest, AFirstStartOffersToCreateTheBaseDatabase) {
    TempDir empty;
    writeIni({"DBDIR=" + empty.path()});
    prompter.answers = {Answer::Yes};
    window.formLoad();
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_TRUE(prompter.questions[0].text.contains("作成しますか"));
    EXPECT_TRUE(fileExists(empty.file("mrk2.mdb")));
    EXPECT_EQ(session.dbDir, empty.path());
}

// Declined, the offer leaves no SQLite words behind it when the list is read
// again (the timer that follows the base database); a directory that is not
// there is offered too, and made with its base database.
TEST_F(MainWindowTest, AFirstStartShowsNoEnglishErrorAndOffersAMissingDirectory) {
    TempDir empty;
    writeIni({"DBDIR=" + empty.path()});
    window.formLoad();  // answered No
    window.followBaseDatabase();
    EXPECT_EQ(prompter.questions.size(), 1u);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();

    const std::string missing = empty.file("a/b");
    prompter.answers = {Answer::Yes};
    dbDirBox()->setText(QString::fromStdString(missing));
    pressKey(dbDirBox(), Qt::Key_Return);
    ASSERT_EQ(prompter.questions.size(), 2u);
    EXPECT_TRUE(prompter.questions[1].text.contains("ディレクトリと基本データベース"));
    EXPECT_TRUE(fileExists(missing + "/mrk2.mdb"));
    EXPECT_EQ(session.dbDir, missing);
}

// No directory in the settings: the operator is told where to choose one, once,
// and asked nothing.
TEST_F(MainWindowTest, AFirstStartWithoutADirectorySaysWhereToChooseOne) {
    writeIni({});
    window.formLoad();
    EXPECT_TRUE(prompter.questions.empty());
    ASSERT_EQ(prompter.messages.size(), 1u) << prompter.texts().join("|").toStdString();
    EXPECT_TRUE(prompter.messages[0].text.contains("ディレクトリを選んで下さい"));
}

}  // namespace

namespace {

// While a national build holds the writer lock, what would need it is off; the
// region box and the map, which only read, stay.
TEST_F(MainWindowTest, ANationalBuildTurnsOffWhatNeedsTheWriterLock) {
    iniWithDbDir();
    window.formLoad();
    click("cmdNationalBuild");
    auto* build = window.findChild<ui::NationalBuildWindow*>();
    ASSERT_NE(build, nullptr);
    emit build->runningChanged(true);
    for (const char* name : {"cmdSelect", "cmdUpdate", "cmdDelete", "cmdDbDir"})
        EXPECT_FALSE(child<QPushButton>(&window, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>(&window, "cmdRegionMap")->isEnabled());
    EXPECT_TRUE(regionBox()->isEnabled());
    emit build->runningChanged(false);
    EXPECT_TRUE(child<QPushButton>(&window, "cmdDelete")->isEnabled());
    build->close();
}

// The tab key goes through the rows as they are read.
TEST_F(MainWindowTest, TabOrderFollowsTheRows) {
    QStringList order;
    QWidget* w = dbDirBox();
    for (int i = 0; i < 14; ++i, w = w->nextInFocusChain()) {
        // Past labels, hidden controls and the inner parts of a box.
        while (!(w->focusPolicy() & Qt::TabFocus) || w->isHidden() || w->objectName().isEmpty() ||
               w->objectName().startsWith("qt_"))
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    EXPECT_EQ(order, (QStringList{"txtDbDir", "cmdDbDir", "txtPostalCsv", "cmdPostalSelect",
                                  "txtPostalStartLine", "cmdUpdate", "cmdNationalBuild",
                                  "cmbPrefDB", "txtCensusStartLine", "cmdSelect", "cmdDelete",
                                  "cmdRegionMap", "cmdDictionary", "cmdExit"}));
}

}  // namespace
