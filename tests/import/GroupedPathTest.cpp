// A file's lines grouped in memory must reach the region database exactly as the
// staging table's sort puts them there: same towns, ids, tables and row order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Error.h"
#include "data/RegionSchema.h"
#include "import/GroupedExtraction.h"
#include "import/ImportRun.h"
#include "import/RegionFixture.h"
#include "import/TownSort.h"

namespace mrk2::test {
namespace {

// Every table of the database, sqlite_sequence included, row by row in id order.
std::vector<std::string> contents(const std::string& dbPath) {
    std::vector<std::string> out;
    for (const std::string& table :
         column(dbPath, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name")) {
        out.push_back("[" + table + "]");
        Database db = Database::open(dbPath, Database::Mode::ReadOnly);
        Statement st = db.prepare("SELECT * FROM " + quoteIdentifier(table) + " ORDER BY rowid");
        while (st.step()) {
            std::string row;
            for (int c = 0; c < st.columnCount(); ++c)
                row += (st.isNull(c) ? std::string("NULL") : "'" + st.text(c) + "'") + "|";
            out.push_back(row);
        }
    }
    return out;
}

// Lines of `towns` in a fixed, shuffled order, each block numbered by its line
// so that the order within a town shows.
std::vector<Block> mixed(const std::vector<Block>& towns, int lines, unsigned seed) {
    std::vector<Block> out;
    for (int i = 0; i < lines; ++i) {
        seed = seed * 1103515245u + 12345u;
        Block b = towns[(seed >> 16) % towns.size()];
        b.block = std::to_string(i + 1);
        out.push_back(b);
    }
    return out;
}

class GroupedPathTest : public ::testing::Test, public RegionFixture {};

TEST_F(GroupedPathTest, MemorySpilledRunsAndStagingGiveTheSameDatabaseRowByRow) {
    // Byte order, not dictionary order: "A" < "a" < kana; a nameless town comes
    // first in its municipality; 神田 is delivered by two files.
    const std::vector<Block> towns = {
        {"東京都", "千代田区", "飯田橋一丁目", ""}, {"東京都", "千代田区", "", ""},
        {"東京都", "千代田区", "神田", ""},         {"東京都", "千代田区", "A町", ""},
        {"東京都", "千代田区", "a町", ""},          {"東京都", "千代田区", "ｶﾅ町", ""},
        {"東京都", "中央区", "銀座", ""},           {"神奈川県", "横浜市", "関内", ""}};
    const std::vector<Block> kanda = {{"東京都", "千代田区", "神田", ""}};
    // A value too long for a run's row, after runs were written: the file goes
    // the staging table's way with what was kept.
    std::vector<Block> longValue = mixed(towns, 2000, 5);
    longValue.push_back({"東京都", "中央区", "銀座", std::string(300, '9')});
    longValue.push_back(longValue[3]);
    request.mode = ImportMode::Register;
    request.sources = {writeCsv("13101_a.csv", mixed(towns, 40, 1)),
                       writeCsv("13102_b.csv", mixed(towns, 3000, 2)),  // over the budget
                       writeCsv("13103_c.csv", {}),
                       writeCsv("13104_d.csv", mixed(kanda, 7, 3)),
                       writeCsv("13105_e.csv", mixed(towns, 150, 4)),
                       writeCsv("13106_f.csv", longValue)};
    for (int minRecs : {0, 1, 25}) {
        SCOPED_TRACE("MINRECS " + std::to_string(minRecs));
        request.minRecs = minRecs;
        // The staging table for every file: the extraction's own order.
        selectRegion("staged" + std::to_string(minRecs));
        request.groupingBudget = 0;
        StopControl stop;
        ASSERT_TRUE(runImport(request, stop, person).succeeded()) << person.allMessages();
        // In memory, but for the file beyond a small budget.
        selectRegion("grouped" + std::to_string(minRecs));
        request.groupingBudget = 64 << 10;
        ASSERT_TRUE(runImport(request, stop, person).succeeded()) << person.allMessages();
        // Every file in memory.
        selectRegion("roomy" + std::to_string(minRecs));
        request.groupingBudget = 64 << 20;
        ASSERT_TRUE(runImport(request, stop, person).succeeded()) << person.allMessages();
        // A tiny budget: many runs for the large files.
        selectRegion("tiny" + std::to_string(minRecs));
        request.groupingBudget = 16 << 10;
        ASSERT_TRUE(runImport(request, stop, person).succeeded()) << person.allMessages();

        auto staged = contents(dir.file("staged" + std::to_string(minRecs) + ".mdb"));
        auto grouped = contents(dir.file("grouped" + std::to_string(minRecs) + ".mdb"));
        EXPECT_GT(staged.size(), 3200u);
        EXPECT_EQ(staged, grouped);
        EXPECT_EQ(staged, contents(dir.file("roomy" + std::to_string(minRecs) + ".mdb")));
        EXPECT_EQ(staged, contents(dir.file("tiny" + std::to_string(minRecs) + ".mdb")));
    }
    // Runs went to unnamed files: nothing is left beside the databases.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().extension(), ".mdb") << entry.path();
}

// Stops once the file's runs are written, as the merge begins.
class StopAtExtraction : public ProgressSink {
  public:
    explicit StopAtExtraction(StopControl& stop) : stop_(stop) {}
    void progress(const Progress& p) override {
        if (p.step == ProgressStep::Extracting)
            stop_.requestStop();
    }

  private:
    StopControl& stop_;
};

TEST_F(GroupedPathTest, AStopAtTheMergeLeavesTheOldRegionAndNoWorkFile) {
    selectRegion("tokyo");
    request.sources = {writeCsv(
        "13101.csv",
        mixed({{"東京都", "千代田区", "神田", ""}, {"東京都", "千代田区", "大手町", ""}}, 100, 1))};
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    const auto before = contents(regionPath());
    request.sources = {writeCsv(
        "13102.csv",
        mixed({{"東京都", "中央区", "銀座", ""}, {"東京都", "中央区", "築地", ""}}, 3000, 2))};
    request.groupingBudget = 16 << 10;
    StopControl stop;
    StopAtExtraction sink(stop);
    EXPECT_EQ(runImport(request, stop, sink).kind, Outcome::Kind::Stopped);
    EXPECT_EQ(contents(regionPath()), before);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"mrk2.mdb", "tokyo.mdb"}));
}

TEST(GroupedExtractionTest, TheTableLimitStopsWithItsMessageAfterTheLastTableIsFull) {
    TempDir dir;
    const std::string path = dir.file("work.mdb");
    Database::open(path, Database::Mode::Create).close();
    createPositionTables(path);
    Database db = Database::open(path);
    TownTableCursor cursor;
    addTownTable(db, 9999, cursor);
    MemoryBudget memory(1 << 20);
    const MemoryBudget::Share share(memory);
    TownSort groups(share, dir.path());
    for (const char* town : {"芝", "麻布", "芝"}) {
        using enum PositionEntry;
        PositionValues v;
        v[Pref] = "東京都";
        v[Muni] = "港区";
        v[Town] = town;
        for (PositionEntry e :
             {PositionEntry::Block, CoordSystem, X, Y, Lat, Lon, ResidenceFlag, RepresentativeFlag})
            v[e] = "1";
        ASSERT_TRUE(groups.add(v, "13103"));
    }
    groups.group();
    GroupedExtraction extraction(db);
    RecordingPerson person;
    StopControl stop;
    RunProgress progress(person, stop);
    try {
        extraction.write(groups, {1}, 1, cursor, progress);
        ADD_FAILURE() << "no refusal";
    } catch (const Refusal& r) {
        EXPECT_STREQ(r.what(), "テーブル数が多過ぎます。(最大9999テーブル)");
    }
    // 芝 sorts before 麻布 by bytes: its two lines filled the last table.
    EXPECT_EQ(column(path, "SELECT count(*) FROM POSITION_9999"), (std::vector<std::string>{"2"}));
}

}  // namespace
}  // namespace mrk2::test
