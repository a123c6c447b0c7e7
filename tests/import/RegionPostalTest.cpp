#include "import/RegionPostal.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "import/RegionFixture.h"

namespace mrk2::test {
namespace {

class RegionPostalTest : public ::testing::Test, public RegionFixture {
  protected:
    void SetUp() override {
        target = dir.file("t.mdb");
        Database::open(target, Database::Mode::Create).close();
        ASSERT_TRUE(createPostTable(person, target));
        state.blnProcessing = true;
    }
    bool fill(std::vector<std::string> prefs, bool replace = false) {
        state.importPrefs = std::move(prefs);
        return fillRegionPostTable(state, person, target, replace);
    }
    std::vector<std::string> prefsInTarget() {
        return column(target, "SELECT fld都道府県 FROM POST ORDER BY fldID");
    }
    std::string target;
};

TEST_F(RegionPostalTest, CopiesTheRowsOfTheRunsPrefecturesOnly) {
    EXPECT_TRUE(fill({"北海道", "東京都"}));
    EXPECT_EQ(prefsInTarget(), (std::vector<std::string>{"東京都", "東京都", "北海道", "東京都"}));
    EXPECT_EQ(column(target, "SELECT fld郵便番号 FROM POST WHERE fld都道府県='北海道'"),
              (std::vector<std::string>{"600000"}));
}

TEST_F(RegionPostalTest, NoNamedPrefectureCopiesEverythingAndAnUnknownOneNothing) {
    EXPECT_TRUE(fill({""}));
    EXPECT_EQ(prefsInTarget().size(), 5u);
    ASSERT_TRUE(createPostTable(person, target));
    EXPECT_TRUE(fill({"火星'県"}));
    EXPECT_TRUE(prefsInTarget().empty());
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();
}

TEST_F(RegionPostalTest, ARefillReplacesAPrefecturesRowsInsteadOfDoublingThem) {
    EXPECT_TRUE(fill({"東京都", "沖縄県"}));
    EXPECT_TRUE(fill({"東京都"}, true));
    EXPECT_EQ(prefsInTarget().size(), 4u);  // 3 東京都 + 1 沖縄県
    EXPECT_TRUE(fill({"東京都"}, false));
    EXPECT_EQ(prefsInTarget().size(), 7u);  // as the plain fill always did
}

TEST_F(RegionPostalTest, AMissingBaseDatabaseFailsWithTheTargetPath) {
    std::remove(state.strBaseDbPath.c_str());
    EXPECT_FALSE(fill({"東京都"}));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("\n" + target), std::string::npos);
    EXPECT_FALSE(fileExists(state.strBaseDbPath));  // not created by the attempt
}

}  // namespace
}  // namespace mrk2::test
