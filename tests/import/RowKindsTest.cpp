// Registry and MLIT rows counted as houses, blocks and parcels, and when a run
// tells what it did to them.
#include <gtest/gtest.h>

#include "import/RowKinds.h"

namespace mrk2::test {
namespace {

TEST(RowKindsTest, ARowIsAHouseABlockOrAParcelByItsNumberAndFlag) {
    struct Case {
        std::optional<std::string_view> block;
        std::optional<std::string_view> flag;
        RowKinds kinds;
    };
    const Case cases[] = {
        {"1-2", "1", {1, 0, 0}},        {"12", "1", {0, 1, 0}},         {"12", "0", {0, 0, 1}},
        {"12-3", "0", {0, 0, 1}},  // a parcel's number may hold a hyphen too
        {"3", std::nullopt, {0, 1, 0}}, {std::nullopt, "1", {0, 0, 0}},  // a town's own point
        {std::nullopt, "0", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        RowKinds k;
        k.add(c.block, c.flag, 3);
        EXPECT_EQ(k.houses, 3 * c.kinds.houses)
            << c.block.value_or("NULL") << c.flag.value_or("NULL");
        EXPECT_EQ(k.blocks, 3 * c.kinds.blocks) << c.block.value_or("NULL");
        EXPECT_EQ(k.parcels, 3 * c.kinds.parcels) << c.block.value_or("NULL");
        EXPECT_EQ(k.any(), c.block.has_value());
    }
    RowKinds sum{1, 2, 3};
    sum += RowKinds{10, 20, 30};
    EXPECT_EQ(sum.houses + sum.blocks * 100 + sum.parcels * 10000, 11 + 2200 + 330000);
}

TEST(RowKindsTest, ANoteIsToldAfterRegistryFilesOrRemovedHousesOrParcelsOnly) {
    const RowKinds none;
    const RowKinds blocksOnly{0, 5, 0};
    struct Case {
        RowKinds went;
        bool registryLoaded;
        bool told;
    };
    const Case cases[] = {
        {none, false, false},
        {blocksOnly, false, false},  // MLIT's blocks alone are not this note's business
        {RowKinds{1, 0, 0}, false, true},
        {RowKinds{0, 0, 1}, false, true},
        {none, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rowKindsNote(blocksOnly, c.went, 0, c.registryLoaded).has_value(), c.told)
            << c.went.houses << c.went.blocks << c.went.parcels << c.registryLoaded;
    }
    // Each number where it belongs.
    EXPECT_EQ(rowKindsNote({1, 2, 3}, {4, 5, 6}, 7, true),
              "読み込んだ行: 住居 1件, 街区 2件, 地番 3件\n削除した行: 住居 4件, 街区 5件, 地番 "
              "6件\n位置座標のない行: 7件");
    // Nothing went: no line saying so.
    EXPECT_EQ(rowKindsNote({1, 2, 3}, none, 0, true),
              "読み込んだ行: 住居 1件, 街区 2件, 地番 3件\n位置座標のない行: 0件");
}

}  // namespace
}  // namespace mrk2::test
