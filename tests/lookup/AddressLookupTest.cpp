// Address lookup against a small region of real town names from the bundled
// Japan Post sample.
#include <gtest/gtest.h>

#include "lookup/AddressLookup.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

// Every town of four municipalities with blocks 1 to 3, plus 丸の内一丁目, whose
// name begins with another town's, with its representative point on block 2
// and a block 4 from a second source, in a second table.
class AddressLookupTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        RegionBuilder region(dir->file("東京.mdb"));
        std::vector<BlockRow> rows;
        int n = 0;
        for (const char* muni : {"千代田区", "中央区", "新宿区", "練馬区", "西多摩郡瑞穂町"}) {
            for (const std::string& town : postalTowns(muni)) {
                ++n;
                for (int b = 1; b <= 3; ++b)
                    rows.push_back({"東京都", muni, town, std::to_string(b),
                                    "35." + std::to_string(n * 10 + b), "139.5"});
            }
        }
        for (int b = 1; b <= 3; ++b)
            rows.push_back({"東京都", "千代田区", "丸の内一丁目", std::to_string(b),
                            "35.9" + std::to_string(b), "139.7", b == 2});
        region.addSource("13101.csv", "2024-01-01 00:00:00", rows);
        region.addSource("13101_add.csv", "2024-01-01 00:00:00",
                         {{"東京都", "千代田区", "丸の内一丁目", "4", "35.94", "139.7"}});
        lookup = new AddressLookup(region.path());
    }
    static void TearDownTestSuite() {
        delete lookup;
        delete dir;
    }
    static TempDir* dir;
    static AddressLookup* lookup;
};

TempDir* AddressLookupTest::dir = nullptr;
AddressLookup* AddressLookupTest::lookup = nullptr;

TEST_F(AddressLookupTest, AddressesInTheFormsOperatorsWrite) {
    struct Case {
        const char* address;
        MatchLevel level;
        const char* muni;
        const char* town;
        const char* block;
    };
    const Case cases[] = {
        {"東京都千代田区丸の内一丁目1番1号", MatchLevel::Block, "千代田区", "丸の内一丁目", "1"},
        {"千代田区丸の内１丁目２－３", MatchLevel::Block, "千代田区", "丸の内一丁目", "2"},
        {"丸の内一丁目3番地", MatchLevel::Block, "千代田区", "丸の内一丁目", "3"},
        {"東京都 千代田区 丸の内 ２", MatchLevel::Block, "千代田区", "丸の内", "2"},
        {"千代田区丸の内1-3-5", MatchLevel::Block, "千代田区", "丸の内一丁目", "3"},
        {"丸の内一丁目4", MatchLevel::Block, "千代田区", "丸の内一丁目", "4"},  // second source
        {"中央区銀座3ー1", MatchLevel::Block, "中央区", "銀座", "3"},
        {"新宿区北町1", MatchLevel::Block, "新宿区", "北町", "1"},
        {"千代田区丸の内31", MatchLevel::Town, "千代田区", "丸の内", ""},  // 31 is no block 3
        {"千代田区丸の内一丁目", MatchLevel::Town, "千代田区", "丸の内一丁目", ""},
        {"千代田区存在しない町1-1", MatchLevel::Municipality, "千代田区", "", ""},
        {"瑞穂町", MatchLevel::Municipality, "西多摩郡瑞穂町", "", ""},
        {"東京都", MatchLevel::Prefecture, "", "", ""},
    };
    for (const Case& c : cases) {
        LookupResult r = lookup->find(c.address);
        EXPECT_EQ(r.level, c.level) << c.address;
        EXPECT_EQ(r.muni, c.muni) << c.address;
        EXPECT_EQ(r.town, c.town) << c.address;
        EXPECT_EQ(r.point.block, c.block) << c.address;
        EXPECT_FALSE(r.point.lat.empty()) << c.address;
    }
}

TEST_F(AddressLookupTest, AMissingBlockAnswersWithTheTownsRepresentativePoint) {
    LookupResult r = lookup->find("千代田区丸の内一丁目99番");
    EXPECT_EQ(r.level, MatchLevel::Town);
    EXPECT_EQ(r.point.lat, "35.92");  // block 2 carries 代表フラグ 1
    EXPECT_EQ(r.point.table, "POSITION_0001");
    // Without a flagged block, the first block stands for the town.
    EXPECT_EQ(lookup->find("中央区銀座").point.lat, lookup->find("中央区銀座1").point.lat);
}

TEST_F(AddressLookupTest, UnknownAndAmbiguousAddressesNameTheNearestTowns) {
    LookupResult r = lookup->find("丸の外1-1");
    EXPECT_EQ(r.level, MatchLevel::None);
    EXPECT_FALSE(r.ambiguous);
    ASSERT_FALSE(r.candidates.empty());
    EXPECT_EQ(r.candidates.front().rfind("東京都千代田区丸の内", 0), 0u) << r.candidates.front();

    EXPECT_TRUE(lookup->find("存在しない1").candidates.empty());

    // 北町 is a town of both 新宿区 and 練馬区: leaving the municipality out is
    // allowed only when the rest is unique.
    r = lookup->find("北町1");
    EXPECT_EQ(r.level, MatchLevel::None);
    EXPECT_TRUE(r.ambiguous);
    EXPECT_EQ(r.candidates, (std::vector<std::string>{"東京都新宿区北町", "東京都練馬区北町"}));
}

// Houses and parcels below the block: the forms an address writes them in, the
// 番地 that asks for a parcel, and numbers after 番 that are never a 丁目.
TEST(HouseAndParcelLookupTest, LevelsBelowTheBlock) {
    TempDir dir;
    RegionBuilder region(dir.file("r.mdb"));
    auto parcel = [](const char* muni, const char* town, const char* number, const char* lat) {
        BlockRow row{std::string(muni) == "文京区" ? "東京都" : "鹿児島県",
                     muni,
                     town,
                     number,
                     lat,
                     "130.6"};
        row.residential = false;
        return row;
    };
    region.addSource("r.csv", "2024-01-01 00:00:00",
                     {{"東京都", "文京区", "白山一丁目", "1-2", "35.71", "139.75"},
                      {"東京都", "文京区", "白山一丁目", "1-12", "35.72", "139.75"},
                      {"東京都", "文京区", "本町", "2", "35.60", "139.75"},
                      {"東京都", "文京区", "本町二丁目", "1", "35.61", "139.75"},
                      {"東京都", "文京区", "霞ヶ丘", "3-4", "35.62", "139.75"},
                      {"東京都", "文京区", "水道", "5-6", "35.63", "139.75"},
                      parcel("文京区", "水道", "5-6", "35.64"),
                      parcel("熊毛郡屋久島町", "安房", "1", "30.31"),
                      parcel("熊毛郡屋久島町", "安房", "1-2", "30.32"),
                      parcel("熊毛郡屋久島町", "大字宮之浦", "7", "30.40")});
    AddressLookup lookup(region.path());
    struct Case {
        const char* address;
        MatchLevel level;
        const char* town;
        const char* block;
        const char* lat;
    };
    const Case cases[] = {
        {"文京区白山一丁目1番2号", MatchLevel::House, "白山一丁目", "1-2", "35.71"},
        {"白山1-1-2", MatchLevel::House, "白山一丁目", "1-2", "35.71"},
        {"白山１丁目１－１２", MatchLevel::House, "白山一丁目", "1-12", "35.72"},
        {"白山一丁目1番", MatchLevel::Block, "白山一丁目", "1", "35.71"},  // its first house
        {"本町2番", MatchLevel::Block, "本町", "2", "35.60"},
        {"本町2-1", MatchLevel::Block, "本町二丁目", "1", "35.61"},
        {"霞が丘3-4", MatchLevel::House, "霞ヶ丘", "3-4", "35.62"},
        {"水道5番6号", MatchLevel::House, "水道", "5-6", "35.63"},
        {"水道5番地6", MatchLevel::Parcel, "水道", "5-6", "35.64"},
        {"屋久島町安房1番地", MatchLevel::Parcel, "安房", "1", "30.31"},
        {"屋久島町大字安房1番地の2", MatchLevel::Parcel, "安房", "1-2", "30.32"},
        {"安房1-2", MatchLevel::Parcel, "安房", "1-2", "30.32"},
        {"宮之浦7", MatchLevel::Parcel, "大字宮之浦", "7", "30.40"},
    };
    for (const Case& c : cases) {
        LookupResult r = lookup.find(c.address);
        EXPECT_EQ(r.level, c.level) << c.address;
        EXPECT_EQ(r.town, c.town) << c.address;
        EXPECT_EQ(r.point.block, c.block) << c.address;
        EXPECT_EQ(r.point.lat, c.lat) << c.address;
    }
}

}  // namespace
}  // namespace mrk2::test
