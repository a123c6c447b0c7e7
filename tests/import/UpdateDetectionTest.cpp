#include "import/UpdateDetection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "import/ImportRun.h"
#include "import/RegionFixture.h"

namespace mrk2::test {
namespace {

// A registered region with three files; the tests then work on a copy as the run does.
class UpdateDetectionTest : public ::testing::Test, public RegionFixture {
  protected:
    void SetUp() override {
        selectRegion("r");
        request.minRecs = 1000;  // every file shares POSITION_0001
        a = writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 2));
        b = writeCsv("13102_b.csv", blocks("東京都", "中央区", "銀座", 2));
        request.sources = {a, b};
        registerRegion();
        db = regionPath();
    }
    void registerRegion() {
        StopControl stop;
        ASSERT_EQ(runImport(request, stop, person).kind, Outcome::Kind::Completed)
            << person.allMessages();
    }
    // The number of sources whose data went; the files to load are in loadList.
    std::int32_t check() {
        UpdatePlan plan = checkUpdatedFiles(db, request.sources);
        loadList = plan.loadList;
        return plan.removed;
    }

    SourceFile a, b;
    std::string db;
    std::vector<SourceFile> loadList;
};

TEST_F(UpdateDetectionTest, NothingChangedRemovesAndLoadsNothing) {
    std::string before = readFile(db);
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(loadList.empty());
    EXPECT_EQ(readFile(db), before);
}

TEST_F(UpdateDetectionTest, ATouchedFileAndAnOlderCopyAreBothRemovedAndReloaded) {
    setModifiedTime(joinPath(b.dir, b.file), 1700000000);
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(loadList, (std::vector<SourceFile>{b}));
    EXPECT_EQ(column(db, "SELECT fldSrcFile FROM POSITION管理"),
              (std::vector<std::string>{"13101_a.csv"}));
    // The shared table keeps the other file's rows.
    EXPECT_EQ(count(db, "SELECT count(*) FROM POSITION_0001"), 2);
    EXPECT_EQ(count(db, "SELECT count(*) FROM POSITION"), 1);

    // A file put back from an older copy holds other data as much as an edited one.
    setModifiedTime(joinPath(a.dir, a.file), 1500000000);
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(loadList, (std::vector<SourceFile>{a, b}));
    EXPECT_EQ(count(db, "SELECT count(*) FROM POSITION管理"), 0);
    EXPECT_EQ(count(db, "SELECT count(*) FROM POSITION"), 0);
}

TEST_F(UpdateDetectionTest, ChangedFilesComeBeforeNewFiles) {
    SourceFile c = writeCsv("13103_c.csv", blocks("東京都", "港区", "芝", 1));
    request.sources = {c, a, b};
    setModifiedTime(joinPath(a.dir, a.file), 1700000000);
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(loadList, (std::vector<SourceFile>{a, c}));
}

TEST_F(UpdateDetectionTest, AFileTakenOutLosesItsDataAndAnEmptiedTableIsDropped) {
    request.minRecs = 0;  // every town its own table; POSITION_0001 stays empty
    registerRegion();
    ASSERT_EQ(count(db, "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'POSITION_0%'"), 3);
    request.sources = {a};
    EXPECT_EQ(check(), 1);
    EXPECT_TRUE(loadList.empty());
    EXPECT_EQ(count(db, "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'POSITION_0%'"), 2);
    EXPECT_EQ(count(db, "SELECT count(*) FROM sqlite_schema WHERE name = 'POSITION_0003'"), 0);
    EXPECT_EQ(count(db, "SELECT count(*) FROM POSITION管理"), 1);
}

TEST_F(UpdateDetectionTest, ANameThatDiffersOnlyInCaseIsANewFile) {
    // Recorded as 13102_b.csv; listed as 13102_B.csv: the old data goes and the
    // new name is loaded, never lost between the two comparisons.
    std::string upper =
        csvDir.write("13102_B.csv", positionCsv(blocks("東京都", "中央区", "銀座", 2)));
    setModifiedTime(upper, 1600000000);
    SourceFile bUpper{b.dir, "13102_B.csv"};
    request.sources = {a, bUpper};
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(loadList, (std::vector<SourceFile>{bUpper}));
}

TEST_F(UpdateDetectionTest, ARemovalThatCannotBeDoneFailsTheUpdateAndKeepsTheRegion) {
    // A town of the changed file names a per-town table that is gone.
    Database::open(db).exec(
        "UPDATE POSITION SET fldTableName = 'POSITION_0999' WHERE fldSrcID = "
        "(SELECT fldID FROM POSITION管理 WHERE fldSrcFile = '13102_b.csv')");
    const std::string before = readFile(db);
    setModifiedTime(joinPath(b.dir, b.file), 1700000000);
    request.mode = ImportMode::Update;
    StopControl stop;
    const Outcome outcome = runImport(request, stop, person);
    EXPECT_EQ(outcome.kind, Outcome::Kind::Failed);
    ASSERT_FALSE(outcome.report.empty());
    EXPECT_NE(outcome.report[0].find("POSITION_0999"), std::string::npos) << outcome.report[0];
    EXPECT_EQ(readFile(db), before);
}

TEST_F(UpdateDetectionTest, QuotesInNamesWorkAndAMissingFileCountsAsChanged) {
    TempDir quoted;
    std::string qdir = quoted.path() + "/it's";
    std::filesystem::create_directory(qdir);
    const SourceFile q{qdir, "13103_q.csv"};
    request.sources.push_back(q);
    EXPECT_EQ(check(), 0);
    EXPECT_EQ(loadList, (std::vector<SourceFile>{q}));

    // Its data no longer matches the disk: it goes, and the load asks about the file.
    std::remove(joinPath(a.dir, a.file).c_str());
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(loadList, (std::vector<SourceFile>{a, q}));
    EXPECT_EQ(column(db, "SELECT fldSrcFile FROM POSITION管理"),
              (std::vector<std::string>{"13102_b.csv"}));
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();

    // A database that cannot be read fails, naming it.
    try {
        checkUpdatedFiles(dir.file("none.mdb"), request.sources);
        ADD_FAILURE() << "read a missing database";
    } catch (const Error& e) {
        EXPECT_EQ(e.context(), dir.file("none.mdb"));
    }
}

}  // namespace
}  // namespace mrk2::test
