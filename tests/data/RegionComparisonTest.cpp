// What changed between two versions of a region.
#include <gtest/gtest.h>

#include "data/RegionComparison.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

std::vector<BlockRow> blocks(const char* town, int n) {
    std::vector<BlockRow> out;
    for (int b = 1; b <= n; ++b)
        out.push_back({"東京都", "千代田区", std::string(town), std::to_string(b)});
    return out;
}

std::vector<std::string> names(const std::vector<RegionComparison::TownChange>& list) {
    std::vector<std::string> out;
    for (const auto& t : list)
        out.push_back(t.name + " " + std::to_string(t.blocksBefore) + "→" +
                      std::to_string(t.blocksAfter));
    return out;
}

TEST(RegionComparisonTest, TownsAndSourcesAddedRemovedAndChanged) {
    TempDir dir;
    RegionBuilder before(dir.file("old.mdb"));
    before.addSource("a.csv", "2024-01-01 00:00:00", blocks("飯田橋", 3));
    before.addSource("b.csv", "2024-01-01 00:00:00", blocks("一番町", 2));
    before.addSource("c.csv", "2024-01-01 00:00:00", blocks("岩本町", 1));

    // The same files, but b.csv changed (one block more, and a town that came
    // from b.csv again in a second source), c.csv dropped and d.csv added.
    RegionBuilder after(dir.file("new.mdb"));
    after.addSource("a.csv", "2024-01-01 00:00:00", blocks("飯田橋", 3));
    after.addSource("b.csv", "2024-02-01 00:00:00", blocks("一番町", 3));
    after.addSource("d.csv", "2024-02-01 00:00:00", blocks("内神田", 4));
    after.addSource("e.csv", "2024-02-01 00:00:00", blocks("一番町", 1));

    RegionComparison c =
        compareRegions(readRegionSnapshot(before.path()), readRegionSnapshot(after.path()));
    EXPECT_EQ(c.sourcesAdded, (std::vector<std::string>{"/src/d.csv", "/src/e.csv"}));
    EXPECT_EQ(c.sourcesRemoved, (std::vector<std::string>{"/src/c.csv"}));
    EXPECT_EQ(c.sourcesReloaded, (std::vector<std::string>{"/src/b.csv"}));
    EXPECT_EQ(names(c.townsAdded), (std::vector<std::string>{"東京都千代田区内神田 0→4"}));
    EXPECT_EQ(names(c.townsRemoved), (std::vector<std::string>{"東京都千代田区岩本町 1→0"}));
    // A town's blocks are counted over every source that delivers it.
    EXPECT_EQ(names(c.blocksChanged), (std::vector<std::string>{"東京都千代田区一番町 2→4"}));
    EXPECT_EQ(c.rows.before, 6);
    EXPECT_EQ(c.rows.after, 11);
    EXPECT_EQ(c.tables.before, 3);
    EXPECT_EQ(c.tables.after, 4);
    EXPECT_EQ(c.towns.after, 3);
    EXPECT_FALSE(c.unchanged());
    EXPECT_TRUE(compareRegions(readRegionSnapshot(after.path()), readRegionSnapshot(after.path()))
                    .unchanged());
}

}  // namespace
}  // namespace mrk2::test
