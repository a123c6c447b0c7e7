// The work file of a register run over an existing region: the tables the run
// keeps, exactly as they were; none of those it rebuilds.
#include "import/RegisterWorkDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/LaterIndexes.h"
#include "import/ImportRun.h"
#include "import/RegionFixture.h"

namespace mrk2::test {
namespace {

// A table's rows with their row ids, in row id order.
std::vector<std::string> rowsOf(const std::string& dbPath, const std::string& table) {
    return column(dbPath, "SELECT rowid || ':' || quote(a) || ':' || quote(b) FROM " + table +
                              " ORDER BY rowid");
}

class RegisterWorkDatabaseTest : public ::testing::Test, public RegionFixture {
  protected:
    // A registered region with tables of the operators' own beside its position
    // tables: ids with gaps, a counter above the highest id, an index, per-town
    // tables that no town names (one empty, one not).
    void SetUp() override {
        selectRegion("東京");
        request.sources = {writeCsv("13101_a.csv", blocks("東京都", "千代田区", "千代田", 3)),
                           writeCsv("13113_b.csv", blocks("東京都", "渋谷区", "神宮前", 2))};
        StopControl stop;
        ASSERT_TRUE(runImport(request, stop, person).succeeded()) << person.allMessages();
        Database db = Database::open(regionPath());
        db.exec(
            "CREATE TABLE Plain (a, b); INSERT INTO Plain VALUES (1, 'x'), (2, 'y'), (3, NULL);"
            "DELETE FROM Plain WHERE a = 1; CREATE INDEX IdxPlain ON Plain (b);"
            "CREATE TABLE Counted (id INTEGER PRIMARY KEY AUTOINCREMENT, a, b);"
            "INSERT INTO Counted (a, b) VALUES (1, 2), (3, 4), (5, 6); DELETE FROM Counted "
            "WHERE id = 3; CREATE TABLE POSITION_0777 (a, b); CREATE TABLE position_0778 (a, b);"
            "INSERT INTO position_0778 VALUES (7, 8); PRAGMA user_version = 7;");
    }
    std::string work() const { return dir.file("work.mdb"); }
};

TEST_F(RegisterWorkDatabaseTest, KeepsOnlyTheOtherTablesWithTheirIdsCountersAndIndexes) {
    LaterIndexes later;
    makeRegisterWorkDatabase(regionPath(), work(), &later);
    EXPECT_EQ(column(work(), "SELECT name FROM sqlite_schema ORDER BY rowid"),
              (std::vector<std::string>{"Plain", "Counted", "sqlite_sequence", "position_0778"}));
    for (const char* table : {"Plain", "Counted", "position_0778"})
        EXPECT_EQ(rowsOf(work(), table), rowsOf(regionPath(), table)) << table;
    // The counter as it stood, not the highest id the copy wrote.
    EXPECT_EQ(column(work(), "SELECT name || '=' || seq FROM sqlite_sequence"),
              (std::vector<std::string>{"Counted=3"}));
    EXPECT_EQ(count(work(), "PRAGMA user_version"), 7);
    EXPECT_EQ(count(work(), "PRAGMA page_size"), count(regionPath(), "PRAGMA page_size"));
    EXPECT_EQ(count(work(), "PRAGMA freelist_count"), 0);

    // The index waits for the run's end.
    EXPECT_EQ(count(work(), "SELECT count(*) FROM sqlite_schema WHERE type = 'index'"), 0);
    Database db = Database::open(work());
    later.createAll(db);
    EXPECT_EQ(column(work(), "SELECT name FROM sqlite_schema WHERE type = 'index'"),
              (std::vector<std::string>{"IdxPlain"}));
}

TEST_F(RegisterWorkDatabaseTest, AFileWithAViewIsCopiedWhole) {
    Database::open(regionPath()).exec("CREATE VIEW PlainView AS SELECT a FROM Plain");
    LaterIndexes later;
    makeRegisterWorkDatabase(regionPath(), work(), &later);
    EXPECT_TRUE(later.empty());
    EXPECT_EQ(readFile(work()), readFile(regionPath()));
}

TEST_F(RegisterWorkDatabaseTest, ARegisterRunKeepsThemAndListsEveryTableBeforeEveryIndex) {
    std::vector<std::vector<std::string>> before;
    for (const char* table : {"Plain", "Counted", "position_0778"})
        before.push_back(rowsOf(regionPath(), table));
    StopControl stop;
    ASSERT_TRUE(runImport(request, stop, person).succeeded()) << person.allMessages();
    std::vector<std::vector<std::string>> after;
    for (const char* table : {"Plain", "Counted", "position_0778"})
        after.push_back(rowsOf(regionPath(), table));
    EXPECT_EQ(after, before);
    EXPECT_EQ(
        count(regionPath(), "SELECT count(*) FROM sqlite_schema WHERE name = 'POSITION_0777'"), 0);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION_0001"), 5);
    // As a compacted copy lists them, so the run needed no compaction.
    auto types = column(regionPath(), "SELECT type FROM sqlite_schema ORDER BY rowid");
    EXPECT_TRUE(std::is_partitioned(types.begin(), types.end(),
                                    [](const std::string& t) { return t == "table"; }));
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM sqlite_schema WHERE name = 'IdxPlain'"), 1);
}

}  // namespace
}  // namespace mrk2::test
