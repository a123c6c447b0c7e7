// A file's lines grouped in memory must reach the region database exactly as the
// staging table's sort puts them there: same towns, ids, tables and row order.
#include <gtest/gtest.h>

#include "app/Error.h"
#include "data/RegionSchema.h"
#include "import/GroupedExtraction.h"
#include "import/ImportRun.h"
#include "import/RegionFixture.h"
#include "import/TownGroups.h"

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

TEST_F(GroupedPathTest, MemoryAndStagingGiveTheSameDatabaseRowByRow) {
    // Byte order, not dictionary order: "A" < "a" < kana; a nameless town comes
    // first in its municipality; 神田 is delivered by two files.
    const std::vector<Block> towns = {
        {"東京都", "千代田区", "飯田橋一丁目", ""}, {"東京都", "千代田区", "", ""},
        {"東京都", "千代田区", "神田", ""},         {"東京都", "千代田区", "A町", ""},
        {"東京都", "千代田区", "a町", ""},          {"東京都", "千代田区", "ｶﾅ町", ""},
        {"東京都", "中央区", "銀座", ""},           {"神奈川県", "横浜市", "関内", ""}};
    const std::vector<Block> kanda = {{"東京都", "千代田区", "神田", ""}};
    request.mode = ImportMode::Register;
    request.sources = {writeCsv("13101_a.csv", mixed(towns, 40, 1)),
                       writeCsv("13102_b.csv", mixed(towns, 3000, 2)),  // over the budget
                       writeCsv("13103_c.csv", {}), writeCsv("13104_d.csv", mixed(kanda, 7, 3)),
                       writeCsv("13105_e.csv", mixed(towns, 150, 4))};
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

        auto staged = contents(dir.file("staged" + std::to_string(minRecs) + ".mdb"));
        auto grouped = contents(dir.file("grouped" + std::to_string(minRecs) + ".mdb"));
        EXPECT_GT(staged.size(), 3200u);
        EXPECT_EQ(staged, grouped);
    }
}

TEST(GroupedExtractionTest, TheTableLimitStopsWithItsMessageAfterTheLastTableIsFull) {
    TempDir dir;
    const std::string path = dir.file("work.mdb");
    Database::open(path, Database::Mode::Create).close();
    createPositionTables(path);
    Database db = Database::open(path);
    TownTableCursor cursor;
    addTownTable(db, 9999, cursor);
    TownGroups groups(1 << 20);
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
