#include "import/RegionPostal.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/Error.h"
#include "import/RegionFixture.h"

namespace mrk2::test {
namespace {

class RegionPostalTest : public ::testing::Test, public RegionFixture {
  protected:
    void SetUp() override {
        target = dir.file("t.mdb");
        Database::open(target, Database::Mode::Create).close();
        createPostTable(target);
    }
    void fill(const std::vector<std::string>& prefs, bool replace = false) {
        fillRegionPostTable(target, basePath, prefs, replace);
    }
    std::vector<std::string> prefsInTarget() {
        return column(target, "SELECT fld都道府県 FROM POST ORDER BY fldID");
    }
    std::string target;
};

TEST_F(RegionPostalTest, CopiesTheRowsOfTheRunsPrefecturesOnly) {
    fill({"北海道", "東京都"});
    EXPECT_EQ(prefsInTarget(), (std::vector<std::string>{"東京都", "東京都", "北海道", "東京都"}));
    EXPECT_EQ(column(target, "SELECT fld郵便番号 FROM POST WHERE fld都道府県='北海道'"),
              (std::vector<std::string>{"600000"}));
}

TEST_F(RegionPostalTest, NoNamedPrefectureCopiesEverythingAndAnUnknownOneNothing) {
    fill({""});
    EXPECT_EQ(prefsInTarget().size(), 5u);
    createPostTable(target);
    fill({"火星'県"});
    EXPECT_TRUE(prefsInTarget().empty());
}

TEST_F(RegionPostalTest, ARefillReplacesAPrefecturesRowsInsteadOfDoublingThem) {
    fill({"東京都", "沖縄県"});
    fill({"東京都"}, true);
    EXPECT_EQ(prefsInTarget().size(), 4u);  // 3 東京都 + 1 沖縄県
    fill({"東京都"}, false);
    EXPECT_EQ(prefsInTarget().size(), 7u);  // as the plain fill always did
}

TEST_F(RegionPostalTest, AMissingBaseDatabaseFailsWithTheTargetPath) {
    std::remove(basePath.c_str());
    try {
        fill({"東京都"});
        ADD_FAILURE() << "filled from a missing base database";
    } catch (const Error& e) {
        EXPECT_NE(standardErrorText(e).find("\n" + target), std::string::npos)
            << standardErrorText(e);
    }
    EXPECT_FALSE(fileExists(basePath));  // not created by the attempt
}

}  // namespace
}  // namespace mrk2::test
