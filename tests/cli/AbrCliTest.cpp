// Address Base Registry pairs through mrk2cli: register, lookup, update.
#include <gtest/gtest.h>

#include <fstream>

#include "base/Paths.h"

#include "support/AbrSample.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class AbrCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini", "[MRK]\r\nDBDIR=" + d.path() + "\r\n");
        ASSERT_EQ(cli({"init"}).exitCode, 0);
    }
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ini", ini});
        return runCli(args);
    }
    static std::string sample(const std::string& name) {
        return std::string(MRK2_SAMPLE_DATA_DIR) + "/abr/" + name;
    }
    TempDir d;
    std::string ini;
};

// The README's example: the houses of 文京区 from their two published archives,
// and an address answered at 住居 level.
TEST_F(AbrCliTest, HousesRegisteredFromTheirArchivesAnswerAtHouseLevel) {
    CliResult r = cli({"register", "文京区", sample("mt_rsdtdsp_rsdt_pref13.csv.zip"),
                       sample("mt_rsdtdsp_rsdt_pos_pref13.csv.zip")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("行: 0 → 30156"), std::string::npos) << r.out;
    r = cli({"lookup", "文京区", "文京区白山一丁目1番2号"});
    EXPECT_NE(r.out.find("東京都\t文京区\t白山一丁目\t1-2\t35.715119856\t139.752307297\t9\t-31603."
                         "1\t-7331.1\tPOSITION_"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\t住居\n"), std::string::npos);
}

// A national build groups a registry pair by the prefecture its rows name: the
// _pos archive, which has no rows of its own, goes with its dataset.
TEST_F(AbrCliTest, ANationalBuildPutsARegistryPairInItsPrefecture) {
    CliResult r = cli({"register-all", "--jobs", "2", sample("mt_rsdtdsp_rsdt_pref13.csv.zip"),
                       sample("mt_rsdtdsp_rsdt_pos_pref13.csv.zip"), sample("47000-17.0b.zip")});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_NE(r.out.find("東京都\t2\t68\t30156\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("沖縄県\t1\t1228\t1228\t"), std::string::npos) << r.out;
}

// A _pos file alone gives no rows, and a dataset whose partner matches none of
// its keys stores none: both fail, named, and make no region.
TEST_F(AbrCliTest, APartnerAloneOrOneThatMatchesNothingMakesNoRegion) {
    const std::string pos = sample("mt_rsdtdsp_rsdt_pos_pref13.csv.zip");
    CliResult r = cli({"register", "文京区", pos});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("(10007)\n" + pos), std::string::npos) << r.err;
    const std::string data = extractAbrSample(d.path(), "mt_parcel_city465054.csv");
    const std::string partner = extractAbrSample(d.path(), "mt_parcel_pos_city465054.csv");
    std::string header;
    std::getline(std::ifstream(partner), header);
    std::ofstream(partner) << header << "\n";
    r = cli({"register", "屋久島町", data, partner});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(partner + "(10011)\n" + data), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(d.file("文京区.mdb")) || fileExists(d.file("屋久島町.mdb")));
}

// Parcels without a position are said, not stored; a changed _pos file reloads
// its dataset too.
TEST_F(AbrCliTest, ParcelsWithoutPositionAreSaidAndAChangedPartnerReloadsThePair) {
    const std::string data = extractAbrSample(d.path(), "mt_parcel_city465054.csv");
    const std::string pos = extractAbrSample(d.path(), "mt_parcel_pos_city465054.csv");
    setModifiedTime(data, 1700000000);
    setModifiedTime(pos, 1700000000);
    CliResult r = cli({"register", "屋久島町", data, pos});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("位置座標なし 904件"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("行: 0 → 83514"), std::string::npos) << r.out;
    setModifiedTime(pos, 1700000100);
    r = cli({"update", "屋久島町", data, pos});
    EXPECT_NE(r.out.find("再読込 2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("行: 83514 → 83514"), std::string::npos) << r.out;
    // What came, what went and what lacked a position, by kind.
    EXPECT_NE(r.err.find("読み込んだ行: 住居 0件, 街区 0件, 地番 83514件\n"
                         "削除した行: 住居 0件, 街区 0件, 地番 83514件\n"
                         "位置座標のない行: 904件"),
              std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace mrk2::test
