// The CSV selection window: lists, arrow buttons, notice, and the runs it starts.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "UiFixture.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "postal/PostalTable.h"
#include "support/ZipWriter.h"
#include "ui/CsvSelectionWindow.h"

using namespace mrk2;
using namespace mrk2::test;
using mrk2::ui::CsvSelectionWindow;

namespace {

struct CsvSelectionWindowTest : ::testing::Test, UiFixture {
    TempDir other;  // a second CSV directory
    std::unique_ptr<CsvSelectionWindow> window;
    QString closedIn;
    bool closed = false;

    CsvSelectionWindowTest() {
        session.regionName = "東京都";
        session.regionFileName = "東京都.mdb";
    }
    void open() {
        window = std::make_unique<CsvSelectionWindow>(session, person);
        QObject::connect(window.get(), &CsvSelectionWindow::closingInDirectory,
                         [this](const QString& d) {
                             closed = true;
                             closedIn = d;
                         });
        window->load();
        window->show();
    }
    QListWidget* list(const char* name) { return child<QListWidget>(window.get(), name); }
    QStringList texts(const char* name) { return itemTexts(list(name)); }
    void choose(const char* listName, const QStringList& names) {
        QListWidget* l = list(listName);
        for (int i = 0; i < l->count(); ++i)
            l->item(i)->setSelected(names.contains(l->item(i)->text()));
    }
    void click(const char* name) { child<QPushButton>(window.get(), name)->click(); }
    QString entry(const std::string& d, const char* f) {
        return CsvSelectionWindow::makeListEntry(QString::fromStdString(d), f);
    }
};

TEST_F(CsvSelectionWindowTest, NewRegionStartsEmptyInTheCurrentDirectory) {
    writeCsv("a.csv", 1);
    writeCsv("b.csv", 1);
    open();
    EXPECT_TRUE(window->isNewDb());
    EXPECT_TRUE(texts("lstCsvListInDB").isEmpty());
    EXPECT_FALSE(child<QPushButton>(window.get(), "cmdUpdate")->isEnabled());
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(window->browsedDir().toStdString(), csvDir.path());
    EXPECT_EQ(texts("lstUnselectCsv"), (QStringList{"a.csv", "b.csv"}));
    EXPECT_TRUE(texts("lstSelectCsv").isEmpty());
}

TEST_F(CsvSelectionWindowTest, NoticeCountsChangedFilesInFullWidthAndNamesThem) {
    const std::string a = writeCsv("13101.csv", 1, other.path());
    const std::string b = writeCsv("13102.csv", 1, other.path());
    const std::string c = writeCsv("13103.csv", 1, other.path());
    const std::string recorded = *fileModifiedText(a);
    setModifiedTime(a, 1600000000 + 3600);  // edited after loading
    setModifiedTime(b, 1600000000 - 3600);  // replaced by an older copy
    makeRegionDb(
        "東京都",
        {{other.path(), "13101.csv"}, {other.path(), "13102.csv"}, {other.path(), "13103.csv"}},
        {recorded, recorded, recorded});
    open();

    EXPECT_FALSE(window->isNewDb());
    EXPECT_TRUE(child<QPushButton>(window.get(), "cmdUpdate")->isEnabled());
    ASSERT_EQ(prompter.messages.size(), 1u);
    // The notice names the changed files, not the last one of the list.
    EXPECT_EQ(prompter.messages[0].text,
              QString("更新されたＣＳＶファイルが２ファイルあります。\n") +
                  QString::fromStdString(a + "\n" + b));
    QListWidget* inDb = list("lstCsvListInDB");
    ASSERT_EQ(inDb->count(), 3);
    EXPECT_TRUE(inDb->item(0)->isSelected());
    EXPECT_TRUE(inDb->item(1)->isSelected());
    EXPECT_FALSE(inDb->item(2)->isSelected());
    EXPECT_EQ(window->browsedDir().toStdString(), other.path()) << "starts at the first file";
    EXPECT_EQ(texts("lstSelectCsv").size(), 3);
}

TEST_F(CsvSelectionWindowTest, SameNameInAnotherDirectoryCountsAsChosenButIsNotTakenOut) {
    writeCsv("a.csv", 1, other.path());
    writeCsv("a.csv", 1);
    writeCsv("b.csv", 1);
    const std::string date = *fileModifiedText(other.file("a.csv"));
    makeRegionDb("東京都", {{other.path(), "a.csv"}}, {date});
    open();
    ASSERT_TRUE(window->browse(QString::fromStdString(csvDir.path())));
    EXPECT_EQ(texts("lstSelectCsv"), QStringList{"a.csv"});
    EXPECT_EQ(texts("lstUnselectCsv"), QStringList{"b.csv"});

    choose("lstSelectCsv", {"a.csv"});
    click("cmdUnselectCsv");
    EXPECT_EQ(texts("lstUnselectCsv"), (QStringList{"b.csv", "a.csv"}));
    EXPECT_EQ(texts("lstCsvListInDB"), QStringList{entry(other.path(), "a.csv")});
    ASSERT_EQ(session.sources.size(), 1u);
    EXPECT_EQ(session.sources[0].dir, other.path());
}

// Files join until the region has as many as it may hold; the operator is
// told once, and the rest stay where they were.
TEST_F(CsvSelectionWindowTest, AFullListTakesNoMoreAndSaysSoOnce) {
    writeCsv("x.csv", 1);
    writeCsv("y.csv", 1);
    writeCsv("z.csv", 1);
    open();
    for (std::size_t i = 0; i + 2 < kMaxSourceFiles; ++i)
        session.sources.push_back({other.path(), "f" + std::to_string(i) + ".csv"});
    window->browse(QString::fromStdString(csvDir.path()));

    click("cmdSelectAll");
    EXPECT_EQ(texts("lstSelectCsv"), (QStringList{"x.csv", "y.csv"}));
    EXPECT_EQ(texts("lstUnselectCsv"), QStringList{"z.csv"});
    EXPECT_EQ(session.sources.size(), kMaxSourceFiles);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains("1000ファイルまで"));
}

TEST_F(CsvSelectionWindowTest, AllInThenAllOutRestoresTheList) {
    writeCsv("x.csv", 1);
    writeCsv("y.csv", 1);
    writeCsv("k.csv", 1, other.path());
    const std::string date = *fileModifiedText(other.file("k.csv"));
    makeRegionDb("東京都", {{other.path(), "k.csv"}}, {date});
    open();
    window->browse(QString::fromStdString(csvDir.path()));

    click("cmdSelectAll");
    EXPECT_EQ(texts("lstSelectCsv"), (QStringList{"x.csv", "y.csv"}));
    EXPECT_TRUE(texts("lstUnselectCsv").isEmpty());
    EXPECT_EQ(texts("lstCsvListInDB"),
              (QStringList{entry(other.path(), "k.csv"), entry(csvDir.path(), "x.csv"),
                           entry(csvDir.path(), "y.csv")}));
    EXPECT_EQ(session.sources.size(), 3u);

    click("cmdUnselectAll");
    EXPECT_EQ(texts("lstCsvListInDB"), QStringList{entry(other.path(), "k.csv")});
    ASSERT_EQ(session.sources.size(), 1u);
    EXPECT_EQ(session.sources[0], (SourceFile{other.path(), "k.csv"}));
    EXPECT_EQ(texts("lstUnselectCsv"), (QStringList{"x.csv", "y.csv"}));
}

TEST_F(CsvSelectionWindowTest, ChosenFilesJoinFromTheBottomUp) {
    writeCsv("w.csv", 1);
    writeCsv("x.csv", 1);
    writeCsv("y.csv", 1);
    open();
    choose("lstUnselectCsv", {"x.csv", "y.csv"});
    click("cmdSelectCsv");
    EXPECT_EQ(texts("lstCsvListInDB"),
              (QStringList{entry(csvDir.path(), "y.csv"), entry(csvDir.path(), "x.csv")}));
    EXPECT_EQ(texts("lstUnselectCsv"), QStringList{"w.csv"});
    ASSERT_EQ(session.sources.size(), 2u);
    EXPECT_EQ(session.sources[0].file, "y.csv");
}

TEST_F(CsvSelectionWindowTest, EmptyListRunsNothingAndKeepsTheWindowOpen) {
    open();
    click("cmdSelect");
    EXPECT_EQ(prompter.texts(), QStringList{"CSVファイルを選択してください。"});
    EXPECT_FALSE(session.running);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(buttonStates.empty());
}

TEST_F(CsvSelectionWindowTest, BusyGuardRefusesASecondRunAndCloses) {
    writeCsv("a.csv", 1);
    open();
    click("cmdSelectAll");
    session.running = true;
    click("cmdSelect");
    session.running = false;
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "処理を実行中です。");
    EXPECT_EQ(prompter.messages[0].icon, Icon::Critical);
    EXPECT_TRUE(closed);
    EXPECT_EQ(closedIn.toStdString(), csvDir.path());
    EXPECT_TRUE(buttonStates.empty()) << "no run may start";
}

TEST_F(CsvSelectionWindowTest, RegisterRunCompletesAndRegistersTheRegion) {
    writeCsv("13101.csv", 3);
    writeCsv("13102.csv", 2);
    createPostTable(basePath);  // the national table, empty
    open();
    click("cmdSelectAll");
    click("cmdSelect");
    EXPECT_TRUE(prompter.texts().last().startsWith("処理を完了しました。"))
        << prompter.texts().join("|").toStdString();
    // The end message says what changed, as mrk2cli prints it, and the time.
    EXPECT_TRUE(prompter.texts().last().contains("ソース: 0 → 2 (再読込 0, 追加 2, 削除 0)\n"));
    EXPECT_TRUE(prompter.texts().last().contains("時間: "));
    EXPECT_FALSE(session.running);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(fileExists(session.regionDbPath()));
    EXPECT_EQ(buttonStates, (std::vector<bool>{false, true}));
    EXPECT_FALSE(person.progressDialog().isVisible());
    EXPECT_EQ(loadDbList(basePath), std::vector<std::string>{"東京都"});
}

TEST_F(CsvSelectionWindowTest, StopDuringALoadEndsTheRunAndGivesTheButtonsBack) {
    writeCsv("13101.csv", 40000);
    createPostTable(basePath);
    open();
    click("cmdSelectAll");
    bool stopped = false;
    bool hiddenDuringRun = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ui::ProgressDialog& progress = person.progressDialog();
        if (!window->isVisible())
            hiddenDuringRun = true;
        if (!stopped && progress.isVisible() &&
            progress.label(ProgressLabel::DetailStatus) == "一時テーブルに登録中") {
            stopped = true;
            progress.stopButton()->click();
        }
    });
    poll.start(0);
    click("cmdSelect");
    poll.stop();

    ASSERT_TRUE(stopped) << "the load ended before Stop could be pressed";
    EXPECT_TRUE(hiddenDuringRun);
    EXPECT_EQ(prompter.texts().last(), "処理を中止しました。");
    EXPECT_FALSE(session.running);
    EXPECT_FALSE(person.progressDialog().isVisible());
    ASSERT_FALSE(buttonStates.empty());
    EXPECT_TRUE(buttonStates.back());
    EXPECT_FALSE(fileExists(session.regionDbPath())) << "a stopped run leaves no region database";
}

TEST_F(CsvSelectionWindowTest, EscapeAndWindowCloseLeaveTheProgressWindowAndTheRunGoesOn) {
    writeCsv("13101.csv", 40000);
    open();
    click("cmdSelectAll");
    int tried = 0, seenAfter = 0, goneAfter = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ui::ProgressDialog& progress = person.progressDialog();
        if (!session.running)
            return;
        if (tried > 0) {
            const bool shown = progress.isVisible() && progress.stopButton()->isVisible();
            ++(shown ? seenAfter : goneAfter);
        }
        if (tried < 2 && progress.isVisible()) {
            if (tried++ == 0) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&progress, &escape);
            } else {
                QCloseEvent close;  // as the window manager's close arrives
                QCoreApplication::sendEvent(progress.windowHandle(), &close);
            }
        }
    });
    poll.start(0);
    click("cmdSelect");
    poll.stop();

    ASSERT_EQ(tried, 2) << "the run ended before the window could be closed";
    EXPECT_GT(seenAfter, 1);
    EXPECT_EQ(goneAfter, 0);
    EXPECT_TRUE(prompter.texts().last().startsWith("処理を完了しました。"));
    EXPECT_TRUE(fileExists(session.regionDbPath()));
    EXPECT_FALSE(person.progressDialog().isVisible()) << "the run's end closes it";
}

TEST_F(CsvSelectionWindowTest, ForcedQuitDuringARunSuppressesTheEndMessage) {
    writeCsv("13101.csv", 40000);
    createPostTable(basePath);
    open();
    click("cmdSelectAll");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (session.running && session.stop && person.progressDialog().isVisible()) {
            // What a confirmed forced close does.
            session.forceQuit = true;
            session.stop->requestStop();
        }
    });
    poll.start(0);
    click("cmdSelect");
    poll.stop();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();
    EXPECT_FALSE(window->isVisible()) << "the window does not come back after a forced close";
}

TEST_F(CsvSelectionWindowTest, AFileReplacedByAnOlderCopyIsAnnouncedPreselectedAndReloaded) {
    writeCsv("13101.csv", 3);
    const std::string b = writeCsv("13102.csv", 2);
    createPostTable(basePath);
    open();
    click("cmdSelectAll");
    click("cmdSelect");
    ASSERT_TRUE(prompter.texts().last().startsWith("処理を完了しました。"));

    // An older copy with other data is put back in the file's place.
    writeCsv("13102.csv", 4);
    setModifiedTime(b, 1600000000 - 86400);
    prompter.messages.clear();
    open();
    EXPECT_EQ(prompter.texts(), QStringList{"更新されたＣＳＶファイルが１ファイルあります。\n" +
                                            QString::fromStdString(b)});
    QListWidget* inDb = list("lstCsvListInDB");
    ASSERT_EQ(inDb->count(), 2);
    EXPECT_FALSE(inDb->item(0)->isSelected());
    EXPECT_TRUE(inDb->item(1)->isSelected());

    click("cmdUpdate");
    ASSERT_TRUE(prompter.texts().last().startsWith("処理を完了しました。"))
        << prompter.texts().join("|").toStdString();
    Database region = Database::open(session.regionDbPath(), Database::Mode::ReadOnly);
    Statement date =
        region.prepare("SELECT fldDate FROM POSITION管理 WHERE fldSrcFile = '13102.csv'");
    ASSERT_TRUE(date.step());
    EXPECT_EQ(date.text(0), *fileModifiedText(b));
    long long rows = 0;
    for (const char* table : {"POSITION_0001", "POSITION_0002"}) {
        Statement st = region.prepare(std::string("SELECT count(*) FROM ") + table);
        ASSERT_TRUE(st.step());
        rows += st.int64(0);
    }
    EXPECT_EQ(rows, 3 + 4) << "the older copy's rows replaced the file's earlier ones";
}

// Only CSV files and archives are listed; an archive that cannot be read is
// marked in the list, unchosen by >>, and no box is shown; a region read from an
// archive opens where the archive lives.
TEST_F(CsvSelectionWindowTest, ListsCsvAndZipOnlyAndMarksABrokenArchive) {
    writeCsv("13101.csv", 1, other.path());
    other.write("readme.txt", "x");
    other.write("broken.zip", "PK not a zip");
    const std::string zip = writeZip(other.file("13000.zip"), {{"13000\\13102.csv", "x"}});
    makeRegionDb("東京都", {{zip, "13000\\13102.csv"}}, {"2023/11/14 22:13:20"});
    open();
    EXPECT_EQ(window->browsedDir().toStdString(), other.path());
    EXPECT_FALSE(prompter.texts().join("|").contains("broken.zip")) << "no box for it";
    EXPECT_EQ(texts("lstUnselectCsv"),
              (QStringList{"13101.csv", "broken.zip (読めないアーカイブ)"}));
    EXPECT_FALSE(list("lstUnselectCsv")->item(1)->toolTip().isEmpty());
    click("cmdSelectAll");
    EXPECT_EQ(texts("lstUnselectCsv"), QStringList{"broken.zip (読めないアーカイブ)"});
}

}  // namespace
