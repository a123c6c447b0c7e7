// Lines sorted through runs in a work file come back exactly as the lines kept
// in memory do: the same towns, codes and counts, the same rows in the same order.
#include "import/TownSort.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace mrk2::test {
namespace {

using enum PositionEntry;

TEST(TownSortTest, SpilledRunsMergeIntoTheOrderMemoryGives) {
    TempDir dir;
    MemoryBudget small(16 << 10), large(16 << 20);
    const MemoryBudget::Share smallShare(small), largeShare(large);
    TownSort spilled(smallShare, dir.path()), kept(largeShare, dir.path());
    const char* towns[] = {"b町", "", "a町", "c町", "神田"};
    unsigned seed = 7;
    std::vector<std::string> blocks, codes;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        PositionValues v;
        v[Pref] = "東京都";
        v[Muni] = i % 7 ? "千代田区" : "中央区";
        if (*towns[(seed >> 16) % 5])
            v[Town] = towns[(seed >> 16) % 5];
        blocks.push_back(std::to_string(i));
        v[Block] = blocks.back();
        for (PositionEntry e : {CoordSystem, X, Y, Lat, Lon, ResidenceFlag, RepresentativeFlag})
            v[e] = "1";
        // A town's code is that of its first line, whichever run holds it.
        codes.push_back("1310" + std::to_string(i % 10));
        ASSERT_TRUE(spilled.add(v, codes.back()));
        ASSERT_TRUE(kept.add(v, codes.back()));
    }
    EXPECT_GT(spilled.runs(), 5u);
    EXPECT_EQ(kept.runs(), 0u);
    spilled.group();
    kept.group();
    ASSERT_EQ(spilled.towns().size(), kept.towns().size());
    for (std::size_t t = 0; t < kept.towns().size(); ++t) {
        const TownGroups::Group& a = spilled.towns()[t];
        const TownGroups::Group& b = kept.towns()[t];
        EXPECT_EQ(std::tie(a.pref, a.muni, a.town, a.code, a.first, a.count),
                  std::tie(b.pref, b.muni, b.town, b.code, b.first, b.count));
        for (std::size_t i = 0; i < b.count; ++i)
            ASSERT_EQ(*spilled.nextRow()[Block], *kept.nextRow()[Block]) << b.town << " " << i;
    }
}

TEST(TownSortTest, AShareThatShrinksBelowItsBlocksStillKeepsLines) {
    TempDir dir;
    MemoryBudget budget(16 << 20);
    const MemoryBudget::Share first(budget);
    TownSort sort(first, dir.path());  // blocks sized for the whole budget
    std::vector<std::unique_ptr<MemoryBudget::Share>> others;
    for (int i = 0; i < 63; ++i)
        others.push_back(std::make_unique<MemoryBudget::Share>(budget));
    PositionValues v;
    v[Pref] = "東京都";
    v[Muni] = "港区";
    v[Town] = "芝";
    v[Block] = "1";
    for (int i = 0; i < 300000; ++i)
        ASSERT_TRUE(sort.add(v, "13103")) << i;
    EXPECT_GT(sort.runs(), 0u);
}

}  // namespace
}  // namespace mrk2::test
