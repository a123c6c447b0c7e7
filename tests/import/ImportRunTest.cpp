#include "import/ImportRun.h"

#include <gtest/gtest.h>

#include "base/ErrorReport.h"
#include "base/FileOps.h"
#include "base/WriterLock.h"
#include "data/Catalog.h"
#include "import/ImportStarter.h"
#include "import/RegionFixture.h"

namespace mrk2::test {
namespace {

class ImportRunTest : public ::testing::Test, public RegionFixture {
  protected:
    void registerTwoFiles() {
        request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 3)),
                           writeCsv("13113_b.csv", blocks("東京都", "渋谷区", "神宮前", 2))};
        ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    }
    bool workFilesLeft() const { return fileExists(tempPath()) || fileExists(compactPath()); }
    // A stopped run says so, leaves the region file as it was and no work file,
    // and has ended, so that the main window's buttons come back.
    void expectStoppedCleanly(Outcome::Kind outcome, const std::string& regionBefore) {
        EXPECT_EQ(outcome, Outcome::Kind::Stopped);
        EXPECT_EQ(readFile(regionPath()), regionBefore);
        EXPECT_FALSE(workFilesLeft());
        ASSERT_FALSE(person.runEvents.empty());
        EXPECT_EQ(person.runEvents.back(), RecordingPerson::RunEvent::Ended);
    }
};

TEST_F(ImportRunTest, RegisterCreatesTheRegionDatabaseAndCatalogRow) {
    selectRegion("東京'23区");
    registerTwoFiles();
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();
    EXPECT_TRUE(fileExists(regionPath()));
    EXPECT_FALSE(workFilesLeft());
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION管理"), 2);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION"), 2);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION_0001"), 5);
    // Only the rows of the run's prefecture; the name with a quote was bound.
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POST"), 3);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM sqlite_schema WHERE name='POSITION_TMP'"),
              0);
    auto catalog = readCatalog(basePath);
    ASSERT_EQ(catalog.size(), 1u);
    EXPECT_EQ(catalog[0].name.value_or(""), "東京'23区");

    using Event = RecordingPerson::RunEvent;
    EXPECT_EQ(person.runEvents, (std::vector<Event>{Event::Started, Event::Ended}));
    EXPECT_TRUE(person.lastStoppable);
    EXPECT_EQ(person.lastLabel(ProgressLabel::OnProccess), "データベース作成中 (東京'23区.mdb)");
    auto steps = person.labelHistory(ProgressLabel::DetailProc);
    for (const char* s : {"データベース作成中", "位置参照情報テーブル作成中です",
                          "郵便番号テーブル作成中です", "データベースの最適化中です"})
        EXPECT_NE(std::find(steps.begin(), steps.end(), s), steps.end()) << s;
    auto status = person.labelHistory(ProgressLabel::DetailStatus);
    EXPECT_NE(std::find(status.begin(), status.end(), "ユニークデータ抽出中"), status.end());
}

TEST_F(ImportRunTest, RegisterOverExistingRegionRebuildsPositionsAndKeepsOtherTables) {
    selectRegion("東京");
    registerTwoFiles();
    Database::open(regionPath())
        .exec("CREATE TABLE EXTRA (x TEXT); INSERT INTO EXTRA VALUES ('k')");
    request.sources.resize(1);
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM EXTRA"), 1);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION管理"), 1);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION_0001"), 3);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POST"), 3);  // recreated, not doubled
    EXPECT_EQ(readCatalog(basePath).size(), 1u);
}

TEST_F(ImportRunTest, UpdateLoadsAChangedFileIntoANewTableAndKeepsPostalRowsSingle) {
    selectRegion("東京");
    registerTwoFiles();
    writeCsv("13113_b.csv", blocks("東京都", "渋谷区", "神宮前", 4), 1700000000);
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(column(regionPath(), "SELECT DISTINCT fldTableName FROM POSITION ORDER BY 1"),
              (std::vector<std::string>{"POSITION_0001", "POSITION_0002"}));
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION_0001"), 3);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION_0002"), 4);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION管理"), 2);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POST"), 3);
    EXPECT_FALSE(workFilesLeft());
    auto steps = person.labelHistory(ProgressLabel::DetailProc);
    EXPECT_NE(std::find(steps.begin(), steps.end(), "郵便番号テーブル更新中です"), steps.end());
}

// POST holds the rows of exactly the prefectures the region holds after a run:
// an update that drops 東京都 and adds 北海道 takes 東京都's rows along.
TEST_F(ImportRunTest, PostFollowsThePrefecturesTheRegionHoldsAfterAnUpdate) {
    selectRegion("r");
    registerTwoFiles();
    request.sources = {writeCsv("h.csv", blocks("北海道", "札幌市中央区", "北一条西", 2)),
                       writeCsv("o.csv", blocks("沖縄県", "那覇市", "泉崎", 1))};
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(column(regionPath(), "SELECT fld都道府県 FROM POST ORDER BY 1"),
              (std::vector<std::string>{"北海道", "沖縄県"}));
    request.sources.resize(1);
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(column(regionPath(), "SELECT fld都道府県 FROM POST"),
              (std::vector<std::string>{"北海道"}));
}

TEST_F(ImportRunTest, UpdateWithNothingChangedLeavesTheFileAsItWas) {
    selectRegion("東京");
    registerTwoFiles();
    setModifiedTime(regionPath(), 1500000000);
    auto date = fileModifiedText(regionPath());
    std::string before = readFile(regionPath());
    person.reports.clear();
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::NothingToDo) << person.allMessages();
    EXPECT_EQ(fileModifiedText(regionPath()), date);
    EXPECT_EQ(readFile(regionPath()), before);
    auto steps = person.labelHistory(ProgressLabel::DetailProc);
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "データベースの最適化中です"), steps.end());
    EXPECT_FALSE(workFilesLeft());
}

TEST_F(ImportRunTest, StopDuringTheSecondOfThreeFilesLeavesTheRegionUntouched) {
    selectRegion("東京");
    registerTwoFiles();
    std::string before = readFile(regionPath());
    request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 3)),
                       writeCsv("13102_c.csv", blocks("東京都", "中央区", "銀座", 50)),
                       writeCsv("13103_d.csv", blocks("東京都", "港区", "芝", 3))};
    person.onReport = [&](int) {
        if (person.lastLabel(ProgressLabel::DetailProc).rfind("13102", 0) == 0)
            person.stopNow();
    };
    person.runEvents.clear();
    expectStoppedCleanly(run(ImportMode::Register), before);
    EXPECT_EQ(person.runEvents.size(), 2u);
}

TEST_F(ImportRunTest, StopJustBeforeTheCompactionLeavesTheRegionUntouched) {
    selectRegion("東京");
    registerTwoFiles();
    std::string before = readFile(regionPath());
    request.sources.resize(1);
    // A Stop that arrives while "optimising" is shown, after every file was
    // loaded: the run says it stopped, so the region database must not change.
    person.onReport = [&](int) {
        if (person.lastLabel(ProgressLabel::DetailProc) == "データベースの最適化中です")
            person.stopNow();
    };
    expectStoppedCleanly(run(ImportMode::Register), before);
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();
}

TEST_F(ImportRunTest, MinRecsZeroLeavesNoTableThatBlocksALaterRun) {
    // With MINRECS 0 every town begins a table, so the table made for the first
    // town of a run stays empty and unnamed; later runs must still find their
    // table numbers free.
    selectRegion("東京");
    request.minRecs = 0;
    registerTwoFiles();
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION_0001"), 0);
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    for (long long mtime : {1700000000LL, 1800000000LL}) {
        writeCsv("13113_b.csv", blocks("東京都", "渋谷区", "神宮前", 4), mtime);
        ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    }
    writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 5), 1900000000);
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION"), 2);
    long long rows = 0;
    for (const std::string& t : column(regionPath(), "SELECT DISTINCT fldTableName FROM POSITION"))
        rows += count(regionPath(), "SELECT count(*) FROM \"" + t + "\"");
    EXPECT_EQ(rows, 9);
}

TEST_F(ImportRunTest, AFailingFileAbortsAndStaleWorkFilesAreReplaced) {
    selectRegion("東京");
    registerTwoFiles();
    std::string before = readFile(regionPath());
    // Leftovers of a killed run: a temporary database with a journal, and a
    // compacted file.
    copyFile(regionPath(), tempPath());
    csvDir.write("junk", "garbage journal");
    copyFile(csvDir.file("junk"), tempPath() + "-journal");
    copyFile(csvDir.file("junk"), compactPath());

    csvDir.write("13104_bad.csv", sjis("東京都,新宿区\r\n"));
    request.sources.push_back({csvDir.path(), "13104_bad.csv"});
    EXPECT_EQ(run(ImportMode::Update), Outcome::Kind::Failed);
    ASSERT_EQ(person.messages.size(), 1u) << person.allMessages();
    EXPECT_NE(person.messages[0].text.find("\n" + csvDir.file("13104_bad.csv")), std::string::npos)
        << person.messages[0].text;
    EXPECT_EQ(readFile(regionPath()), before);
    EXPECT_FALSE(fileExists(tempPath()));

    // The next good run succeeds over the stale compacted file.
    request.sources.pop_back();
    request.sources.push_back(writeCsv("13104_ok.csv", blocks("東京都", "新宿区", "西新宿", 2)));
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION管理"), 3);
    EXPECT_FALSE(workFilesLeft());
}

TEST_F(ImportRunTest, ARegionNameThatCannotBeAFileNameIsRefusedBeforeTheRun) {
    selectRegion("a/b");
    request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 1))};
    EXPECT_EQ(startImportRun(request, person, person).kind, Outcome::Kind::Refused);
    EXPECT_TRUE(person.runEvents.empty());
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_TRUE(readCatalog(basePath).empty());
}

TEST_F(ImportRunTest, AMissingFileIsAskedAboutBeforeTheRunAndTheAnswerGoesWithIt) {
    selectRegion("東京");
    request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 2)),
                       {csvDir.path(), "13102_gone.csv"}};
    EXPECT_EQ(startImportRun(request, person, person).kind, Outcome::Kind::Stopped);
    EXPECT_TRUE(person.runEvents.empty()) << "No: the run never begins";
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0],
              csvDir.file("13102_gone.csv") + "が見つかりません。継続しますか？");
    EXPECT_EQ(person.messages.back().text, "処理を中止しました。");
    EXPECT_FALSE(fileExists(regionPath()));

    person.answers = {Answer::Yes};
    EXPECT_EQ(startImportRun(request, person, person).kind, Outcome::Kind::Completed)
        << person.allMessages();
    EXPECT_EQ(person.questions.size(), 2u) << "the run itself asks nothing";
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION管理"), 1);
}

TEST_F(ImportRunTest, ACatalogThatCannotTakeANewRegionIsAFailureThatLeavesNoFile) {
    selectRegion("東京");
    request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 3))};
    // Nothing before the catalog registration reads ＤＢ一覧.
    Database::open(basePath).exec("DROP TABLE \"ＤＢ一覧\"");
    Outcome outcome = startImportRun(request, person, person);
    EXPECT_EQ(outcome.kind, Outcome::Kind::Failed);
    ASSERT_EQ(person.messages.size(), 2u) << person.allMessages();
    EXPECT_NE(person.messages[0].text.find("(" + std::to_string(FormatError::NotFound) + ")"),
              std::string::npos)
        << person.allMessages();
    EXPECT_NE(person.messages[0].text.find("ＤＢ一覧"), std::string::npos) << person.allMessages();
    EXPECT_NE(person.messages[0].text.find("\n東京"), std::string::npos) << person.allMessages();
    EXPECT_EQ(person.messages[1].text, "処理に失敗しました。") << "a failure is no Stop";
    // A new region's file without its catalog row is taken out again.
    EXPECT_FALSE(fileExists(regionPath()));
    EXPECT_FALSE(workFilesLeft());
}

// The end message waits for OK with the directory free for other writers, and
// says the run's time, not the operator's.
TEST_F(ImportRunTest, TheEndMessageComesOnceWithTheWriterLockFree) {
    struct LockProbe : RecordingPerson {
        std::string dbDir;
        std::vector<bool> lockFree;
        void message(const std::string& text, Icon icon) override {
            try {
                WriterLock taken = WriterLock::take(dbDir);
                lockFree.push_back(true);
            } catch (const Refusal&) {
                lockFree.push_back(false);
            }
            RecordingPerson::message(text, icon);
        }
    } probe;
    probe.dbDir = request.dbDir;
    selectRegion("東京");
    request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 3))};
    request.summaryInEndMessage = true;
    EXPECT_EQ(startImportRun(request, probe, probe).kind, Outcome::Kind::Completed);
    ASSERT_EQ(probe.messages.size(), 1u) << probe.allMessages();
    EXPECT_EQ(probe.lockFree, std::vector<bool>{true});
    EXPECT_NE(probe.messages[0].text.find("\n時間: "), std::string::npos);
}

}  // namespace
}  // namespace mrk2::test
