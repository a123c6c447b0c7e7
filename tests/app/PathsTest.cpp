#include <gtest/gtest.h>

#include "app/Error.h"
#include "app/Paths.h"

using namespace mrk2;

TEST(AddPathSeparator, AppendsOneSeparatorAfterTrimmingBlanks) {
    EXPECT_EQ(addPathSeparator("/opt/tools"), "/opt/tools/");
    EXPECT_EQ(addPathSeparator(" /opt/tools/ "), "/opt/tools/");
    EXPECT_EQ(addPathSeparator("/"), "/");
    EXPECT_EQ(addPathSeparator(""), "");
    EXPECT_EQ(addPathSeparator("   "), "");
}

TEST(JoinPath, EmptyDirectoryGivesRootPathAsTheToolAlwaysDid) {
    EXPECT_EQ(joinPath("", "mrk2.mdb"), "/mrk2.mdb");
    EXPECT_EQ(joinPath("/data", "mrk2.mdb"), "/data/mrk2.mdb");
    EXPECT_EQ(joinPath("/", "mrk2.mdb"), "/mrk2.mdb");
}

TEST(StandardErrorText, DescriptionNumberAndContextOnItsOwnLine) {
    Error e(2, "ファイルまたはディレクトリが見つかりません。");
    EXPECT_EQ(standardErrorText(e, "/data/a.csv"),
              "ファイルまたはディレクトリが見つかりません。(2)\n/data/a.csv");
    EXPECT_EQ(standardErrorText(e), "ファイルまたはディレクトリが見つかりません。(2)");
}
