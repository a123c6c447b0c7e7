// mrk2cli reverse, end to end: one point, and lines of points on standard input.
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/PointIndex.h"
#include "support/CliRunner.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class ReverseCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini", "[MRK]\r\nDBDIR=" + d.path() + "\r\n");
        RegionBuilder region(d.file("東京.mdb"));
        region.addSource("13101.csv", "2024-01-01 00:00:00",
                         {{"東京都", "千代田区", "丸の内一丁目", "1", "35.681", "139.767"},
                          {"東京都", "中央区", "銀座一丁目", "1-1", "35.674", "139.770"}});
        Database db = Database::open(region.path());
        buildPointIndex(db);
    }
    CliResult reverse(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--ini", ini, "reverse", "東京"});
        return runCli(args, input);
    }
    TempDir d;
    std::string ini;
};

TEST_F(ReverseCliTest, OnePointAsATableRowWithItsDistance) {
    CliResult r = reverse({"35.6811", "139.767"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "入力\t都道府県名\t市区町村名\t大字・町丁目\t街区・番地\t緯度\t経度\t座標系番号\tＸ"
              "座標\tＹ座標\tテーブル\t一致レベル\t距離\n"
              "35.6811 139.767\t東京都\t千代田区\t丸の内一丁目\t1\t35.681\t139.767\t9\t-100.5\t200."
              "5\tPOSITION_0001\t街区\t11.1\n");
    EXPECT_EQ(reverse({"35.6811", "139.767", "--max-distance", "10"}).exitCode, 1);
    EXPECT_EQ(reverse({"35.6811", "139.767", "--limit", "0"}).exitCode, 2);
    EXPECT_EQ(reverse({"35.6811"}).exitCode, 2);
}

TEST_F(ReverseCliTest, StandardInputIsAnsweredInOrderWithInputErrorsInTheirPlace) {
    CliResult r = reverse({"-", "--json"}, "35.674 139.770\n35.68 東京\n\n0 0\n35.681,139.767\n");
    EXPECT_EQ(r.exitCode, 1);
    const std::string levels[] = {"住居", "入力エラー", "入力エラー", "不一致", "街区"};
    std::size_t at = 0;
    for (const std::string& level : levels) {
        at = r.out.find("\"一致レベル\":\"" + level + "\"", at);
        ASSERT_NE(at, std::string::npos) << level << "\n" << r.out;
    }
    EXPECT_NE(r.out.find("\"入力\":\"35.68 東京\""), std::string::npos);
    EXPECT_NE(r.err.find("入力エラー（2行目）"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("入力エラー（3行目）"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace mrk2::test
