// A file's lines grouped in memory must reach the region database exactly as the
// staging table's sort puts them there: same towns, ids, tables and row order.
#include <gtest/gtest.h>

#include "import/ImportRun.h"
#include "import/RegionFixture.h"

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

}  // namespace
}  // namespace mrk2::test
