// Looser ways of writing a town that operators and their customers use, and
// where each must give way to a town that is really named so.
#include <gtest/gtest.h>

#include "lookup/AddressLookup.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class LookupFormsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        RegionBuilder region(dir->file("東京.mdb"));
        std::vector<BlockRow> rows;
        for (const char* town :
             {"神田須田町", "東松下町", "西松下町", "十二番丁", "若葉町", "大和町三丁目",
              "緑ケ丘一丁目", "緑ケ丘二丁目", "春日", "春日二丁目", "本郷", "本郷町"})
            for (const char* block : {"1", "2"})
                rows.push_back({"東京都", "千代田区", town, block});
        rows.push_back({"東京都", "中央区", "若葉", "1"});
        region.addSource("13101.csv", "2024-01-01 00:00:00", rows);
        lookup = new AddressLookup(region.path());
    }
    static void TearDownTestSuite() {
        delete lookup;
        delete dir;
    }
    static TempDir* dir;
    static AddressLookup* lookup;
};

TempDir* LookupFormsTest::dir = nullptr;
AddressLookup* LookupFormsTest::lookup = nullptr;

TEST_F(LookupFormsTest, LooseSpellingsFindTheirTown) {
    struct Case {
        const char* address;
        MatchLevel level;
        const char* town;
        const char* block;
    };
    const Case cases[] = {
        // Without the ending 町, or the 町 before the 丁目.
        {"千代田区若葉2", MatchLevel::Block, "若葉町", "2"},
        {"千代田区大和3丁目1", MatchLevel::Block, "大和町三丁目", "1"},
        {"大和3-2", MatchLevel::Block, "大和町三丁目", "2"},
        // Without the leading part, when no other town ends so.
        {"東京都千代田区須田町2", MatchLevel::Block, "神田須田町", "2"},
        // Digits and 町 for the number and 丁 of the name.
        {"千代田区12番町1", MatchLevel::Block, "十二番丁", "1"},
        {"千代田区１２番丁２", MatchLevel::Block, "十二番丁", "2"},
        {"十二番町2", MatchLevel::Block, "十二番丁", "2"},
        // A bare number for the 丁目 of a town that has no block of its own.
        {"千代田区緑ヶ丘２", MatchLevel::Town, "緑ケ丘二丁目", ""},
        {"千代田区緑が丘1-2", MatchLevel::Block, "緑ケ丘一丁目", "2"},
        // The real names stand first: 春日 has a block 2, 本郷 is a town, and
        // the 若葉 of 中央区 is what 若葉 alone names.
        {"千代田区春日2", MatchLevel::Block, "春日", "2"},
        {"千代田区本郷1", MatchLevel::Block, "本郷", "1"},
        {"若葉1", MatchLevel::Block, "若葉", "1"},
        // Unreadable characters answer at the level before them.
        {"千代田区若葉町1\uFFFD", MatchLevel::Block, "若葉町", "1"},
        {"千代田区神田須\uFFFD町1", MatchLevel::Municipality, "", ""},
    };
    for (const Case& c : cases) {
        LookupResult r = lookup->find(c.address);
        EXPECT_EQ(r.level, c.level) << c.address;
        EXPECT_EQ(r.town, c.town) << c.address;
        EXPECT_EQ(r.point.block, c.block) << c.address;
    }
}

TEST_F(LookupFormsTest, LooseSpellingsThatFitTwoTownsOrNoneAnswerNothing) {
    LookupResult r = lookup->find("千代田区松下町1");  // 東松下町 and 西松下町
    EXPECT_TRUE(r.ambiguous);
    EXPECT_EQ(r.candidates.size(), 2u);
    // 番 after the number says a block: 緑ケ丘 has none of its own.
    EXPECT_EQ(lookup->find("千代田区緑ケ丘2番").level, MatchLevel::Municipality);
    for (const char* odd : {"\uFFFD", "\uFFFD\uFFFD1-2", "千代田区\uFFFD"})
        EXPECT_LE(lookup->find(odd).level, MatchLevel::Municipality) << odd;
}

}  // namespace
}  // namespace mrk2::test
