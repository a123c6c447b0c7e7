// Lines kept in memory: the budget is a hard bound, and what is kept comes back
// exactly, in line order and grouped.
#include "import/TownGroups.h"

#include <gtest/gtest.h>

namespace mrk2::test {

using enum PositionEntry;
namespace {

PositionValues line(std::string_view town, std::string_view block,
                    std::optional<std::string_view> mesh = std::nullopt) {
    PositionValues v;
    v[Pref] = "東京都";
    v[Muni] = "千代田区";
    if (!town.empty())
        v[Town] = town;
    v[Block] = block;
    for (PositionEntry e : {CoordSystem, X, Y, Lat, Lon, ResidenceFlag, RepresentativeFlag})
        v[e] = "1";
    v[Mesh] = mesh;
    return v;
}

TEST(TownGroupsTest, TheBudgetIsAHardBoundAndRefusesALongValue) {
    TownGroups groups(64 << 10);
    std::size_t kept = 0;
    while (groups.add(line("神田", std::to_string(kept))))
        ++kept;
    EXPECT_GT(kept, 100u);
    EXPECT_EQ(groups.rows(), kept);
    // A refused line is not kept, and the next one is refused too.
    EXPECT_FALSE(groups.add(line("神田", "x")));
    EXPECT_EQ(groups.rows(), kept);

    TownGroups roomy(1 << 20);
    EXPECT_FALSE(roomy.add(line("神田", std::string(300, '9'))));
    EXPECT_EQ(TownGroups(0).add(line("神田", "1")), false);
}

TEST(TownGroupsTest, LinesComeBackInLineOrderAndThenGroupedByTown) {
    TownGroups groups(1 << 20);
    ASSERT_TRUE(groups.add(line("b町", "1", "53394611")));
    ASSERT_TRUE(groups.add(line("", "2")));
    ASSERT_TRUE(groups.add(line("b町", "3")));
    ASSERT_TRUE(groups.add(line("a町", "4")));
    PositionValues first = groups.lineValues(0);
    EXPECT_EQ(*first[Town], "b町");
    EXPECT_EQ(*first[Mesh], "53394611");
    EXPECT_FALSE(groups.lineValues(1)[Town]);
    EXPECT_FALSE(groups.lineValues(1)[Mesh]);

    groups.group();
    std::vector<std::string> got;
    for (const auto& t : groups.towns()) {
        for (std::size_t i = t.first; i < t.first + t.count; ++i)
            got.push_back(t.town + ":" + std::string(*groups.groupedValues(i)[Block]));
    }
    // The nameless town first, then by bytes; a town's lines in their order.
    EXPECT_EQ(got, (std::vector<std::string>{":2", "a町:4", "b町:1", "b町:3"}));
}

}  // namespace
}  // namespace mrk2::test
