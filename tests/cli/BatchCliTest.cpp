// mrk2cli register-all and update-all: the national build, end to end.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "base/Paths.h"
#include "data/Catalog.h"
#include "data/RegionComparison.h"
#include "data/RegionSnapshot.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"
#include "support/ZipWriter.h"

namespace mrk2::test {
namespace {

// MLIT's block-level header and `towns` towns of `blocks` blocks in one city.
std::string prefectureCsv(const std::string& pref, const std::string& city, int towns, int blocks) {
    std::string out =
        "都道府県名,市区町村名,大字・丁目名,小字・通称名,街区符号・地番,座標系番号,Ｘ座標,Ｙ座標,"
        "緯度,経度,住居表示フラグ,代表フラグ,更新前履歴フラグ,更新後履歴フラグ\r\n";
    for (int t = 1; t <= towns; ++t)
        for (int b = 1; b <= blocks; ++b)
            out += "\"" + pref + "\",\"" + city + "\",\"町" + std::to_string(t) + "\",\"\",\"" +
                   std::to_string(b) +
                   "\",\"9\",\"-1.5\",\"2.5\",\"35.1\",\"139.2\",\"1\",\"0\","
                   "\"0\",\"0\"\r\n";
    return out;
}

class BatchCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini", "[MRK]\r\nDBDIR=" + d.file("db") + "\r\n");
        ASSERT_EQ(cli({"init"}).exitCode, 0);
        const std::string postal =
            d.write("KEN.CSV",
                    "30201,\"640  \",\"6408000\",\"ﾜｶﾔﾏｹﾝ\",\"ﾜｶﾔﾏｼ\",\"ﾜｶﾔﾏ\",\"和歌山県\","
                    "\"和歌山市\",\"和歌山\",0,0,0,0,0,0\r\n");
        auto r = cli({"postal-build", postal});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ::mkdir(d.file("src").c_str(), 0755);
        wakayama =
            writeZip(d.file("src/30000-17.0a.zip"),
                     {{"30000-17.0a\\30201_2023.csv", prefectureCsv("和歌山県", "和歌山市", 3, 4)},
                      {"30000-17.0a\\30202_2023.csv", prefectureCsv("和歌山県", "海南市", 2, 2)}});
        tottori =
            writeZip(d.file("src/31000-17.0a.zip"),
                     {{"31000-17.0a\\31201_2023.csv", prefectureCsv("鳥取県", "鳥取市", 2, 3)}});
        shimane = d.write("src/32201_2023.csv", prefectureCsv("島根県", "松江市", 4, 1));
    }
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ini", ini, "--quiet"});
        return runCli(args);
    }
    std::string region(const std::string& name) { return d.file("db/" + name + ".mdb"); }

    // A stored member whose bytes changed after packing: its first rows read
    // well (the prefecture is known), its CRC fails at the end.
    std::string damagedArchive(const std::string& path, const std::string& pref,
                               const std::string& city) {
        writeZip(path,
                 {{"x\\" + city + ".csv", prefectureCsv(pref, city, 40, 10), 1700000000, true}});
        std::ifstream in(path, std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const std::size_t at = bytes.find("\"9\"", 2000);
        bytes[at + 1] = '8';
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    TempDir d;
    std::string ini, wakayama, tottori, shimane;
};

TEST_F(BatchCliTest, ThreePrefecturesAndADamagedArchiveFailsOnlyThatOne) {
    // 岡山県 exists already; its new archive is damaged.
    const std::string okayama = d.write("33201_old.csv", prefectureCsv("岡山県", "岡山市", 1, 1));
    ASSERT_EQ(cli({"register", "岡山県", okayama}).exitCode, 0);
    const RegionSnapshot okayamaBefore = readRegionSnapshot(region("岡山県"));
    damagedArchive(d.file("src/33000-17.0a.zip"), "岡山県", "倉敷市");
    d.write("src/readme.txt", "not a source");

    auto r = cli({"register-all", "--jobs", "2", d.file("src")});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.out.find("地域\tソース\t町\t行\t秒\t結果\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("和歌山県\t2\t5\t16\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("鳥取県\t1\t2\t6\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("島根県\t1\t4\t4\t"), std::string::npos) << r.out;
    // Its prefecture cannot be read: it stands in the table under its name.
    EXPECT_NE(r.out.find("33000-17.0a.zip\t0\t0\t0\t0.0\t失敗\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("33000-17.0a.zip: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(10008)"), std::string::npos) << r.err;
    // The damaged one's old region is as it was.
    EXPECT_TRUE(compareRegions(okayamaBefore, readRegionSnapshot(region("岡山県"))).unchanged());
    // The catalog lists every region built, and no change is left pending.
    const auto names = loadDbList(d.file("db/mrk2.mdb"));
    for (const char* name : {"和歌山県", "鳥取県", "島根県", "岡山県"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    EXPECT_FALSE(fileExists(d.file("db/mrk2.pending")));

    // Each region is what a register of the same files one by one makes.
    ASSERT_EQ(cli({"register", "和歌山", wakayama}).exitCode, 0);
    EXPECT_TRUE(
        compareRegions(readRegionSnapshot(region("和歌山")), readRegionSnapshot(region("和歌山県")))
            .unchanged());
}

TEST_F(BatchCliTest, UpdateAllReloadsOnlyTheChangedMemberAndRegistersTheMissing) {
    auto r = cli({"register-all", wakayama, tottori});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const RegionSnapshot tottoriBefore = readRegionSnapshot(region("鳥取県"));
    const RegionSnapshot before = readRegionSnapshot(region("和歌山県"));
    // A new edition of 和歌山県 in which one member changed.
    writeZip(
        wakayama,
        {{"30000-17.0a\\30201_2023.csv", prefectureCsv("和歌山県", "和歌山市", 3, 4)},
         {"30000-17.0a\\30202_2023.csv", prefectureCsv("和歌山県", "海南市", 3, 2), 1700000999}});
    r = cli({"update-all", "--jobs", "3", wakayama, tottori, shimane});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("鳥取県\t1\t2\t6\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t変更なし\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("島根県\t1\t4\t4\t"), std::string::npos) << r.out;
    const RegionSnapshot after = readRegionSnapshot(region("和歌山県"));
    EXPECT_EQ(after.towns.size(), 6u);
    // The unchanged member keeps its source id; the changed one is loaded anew.
    ASSERT_EQ(after.sources.size(), 2u);
    EXPECT_EQ(after.sources[0].id, before.sources[0].id);
    EXPECT_NE(after.sources[1].id, before.sources[1].id);
    EXPECT_TRUE(compareRegions(tottoriBefore, readRegionSnapshot(region("鳥取県"))).unchanged());
}

// A region named by a row passes the name rule and must be a prefecture: no row
// makes a region of the base database, a work file or a path outside DBDIR. A
// pending record that names such files is set aside, not acted on.
TEST_F(BatchCliTest, NoRowAndNoPendingRecordNamesAFileOutsideTheRegions) {
    ::mkdir(d.file("bad").c_str(), 0755);
    int n = 0;
    for (const char* name : {"mrk2", "../outside", "北海道_$$$", "火星県"})
        d.write("bad/" + std::to_string(++n) + ".csv", prefectureCsv(name, "市", 1, 1));
    auto r = cli({"register-all", d.file("bad"), shimane});
    EXPECT_EQ(r.exitCode, 1);
    for (int i = 1; i <= n; ++i)
        EXPECT_NE(r.out.find(std::to_string(i) + ".csv\t0\t0\t0\t0.0\t失敗\n"), std::string::npos)
            << r.out;
    EXPECT_NE(r.out.find("島根県\t1\t4\t4\t"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("(10006)"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(d.file("outside.mdb")));
    const auto names = loadDbList(d.file("db/mrk2.mdb"));  // still the base database
    EXPECT_EQ(names, std::vector<std::string>{"島根県"});

    const std::string victim = d.write("victim.mdb", "kept");
    d.write("db/mrk2.pending", "delete\n../victim\ndelete\nmrk2\n");
    r = cli({"regions"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("../victim"), std::string::npos) << r.err;
    EXPECT_TRUE(fileExists(victim) && fileExists(d.file("db/mrk2.mdb")));
    EXPECT_TRUE(fileExists(d.file("db/mrk2.pending.rejected")));
    EXPECT_FALSE(fileExists(d.file("db/mrk2.pending")));
}

// Sources are recorded by absolute paths whatever the command was given; an
// update that finds none of a region's sources is refused, naming them, rather
// than empty the region.
TEST_F(BatchCliTest, SourcesAreRecordedAbsoluteAndNeverAllDroppedAsMissing) {
    std::string relative;  // the same file from any working directory
    for (int i = 0; i < 40; ++i)
        relative += "../";
    ASSERT_EQ(cli({"register-all", relative + wakayama.substr(1)}).exitCode, 0);
    for (const SourceFile& f : readSourceFiles(region("和歌山県")).files)
        EXPECT_EQ(f.dir, wakayama);
    const RegionSnapshot before = readRegionSnapshot(region("和歌山県"));
    ASSERT_EQ(std::rename(d.file("src").c_str(), d.file("moved").c_str()), 0);
    auto r = cli({"--yes", "update", "和歌山県"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(wakayama + "/30000-17.0a\\30202_2023.csv"), std::string::npos) << r.err;
    EXPECT_TRUE(compareRegions(before, readRegionSnapshot(region("和歌山県"))).unchanged());
}

// Two sources of one layout covering one municipality (an archive and its
// extracted member) are refused naming both; sources of two layouts add up,
// and the end table counts the towns check counts.
TEST_F(BatchCliTest, OneMunicipalityTwiceInOneLayoutIsRefusedAndCountsAgreeWithCheck) {
    ::mkdir(d.file("x").c_str(), 0755);
    const std::string extracted =
        d.write("x/30201_2023.csv", prefectureCsv("和歌山県", "和歌山市", 3, 4));
    auto r = cli({"register-all", wakayama, extracted, tottori});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("\t失敗\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("鳥取県\t1\t2\t6\t"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("(10012)\n" + wakayama + "/30000-17.0a\\30201_2023.csv\n" + extracted),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fileExists(region("和歌山県")));

    const std::string townLevel =
        d.write("x/town.csv",
                "都道府県名,市区町村コード,市区町村名,大字町丁目コード,大字町丁目名,緯度,経度\r\n"
                "和歌山県,30201,和歌山市,302010001000,町1,34.2,135.1\r\n");
    r = cli({"register-all", wakayama, townLevel});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("和歌山県\t3\t5\t"), std::string::npos) << r.out;
    EXPECT_NE(cli({"check", "和歌山県"}).out.find("町: 5\n"), std::string::npos);
    // Beside its archive's unchanged member, in an update, as well.
    r = cli({"update-all", wakayama, extracted});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("(10012)"), std::string::npos) << r.err;
}

TEST_F(BatchCliTest, UsageErrors) {
    EXPECT_EQ(cli({"register-all"}).exitCode, 2);
    EXPECT_EQ(cli({"update-all", "--jobs", "0", wakayama}).exitCode, 2);
    EXPECT_EQ(cli({"update-all", "--jobs", "1.5", wakayama}).exitCode, 2);
}

// What a folder may hold that gives no source: each is named with its reason
// (in Japanese, with its number), none passed over in silence.
TEST_F(BatchCliTest, WhatGivesNoSourceIsNamedWithItsReason) {
    const std::string odd = d.file("odd");
    ::mkdir(odd.c_str(), 0755);
    ASSERT_EQ(::mkfifo((odd + "/pipe.csv").c_str(), 0644), 0);
    d.write("odd/empty.zip", std::string("PK\x05\x06") + std::string(18, '\0'));
    writeZip(odd + "/html.zip", {{"a.html", "<html></html>"}});
    writeZip(odd + "/nested.zip", {{"30000-17.0a.zip", "PK"}});
    // Two members of one name: written as a.csv and b.csv, then renamed.
    std::string twice = readFile(
        writeZip(odd + "/twice.zip", {{"a.csv", "x\n", 1700000000, true}, {"b.csv", "y\n"}}));
    for (std::size_t at; (at = twice.find("b.csv")) != std::string::npos;)
        twice[at] = 'a';
    d.write("odd/twice.zip", twice);
    std::vector<ZipEntry> many;
    for (int i = 0; i < 1001; ++i)
        many.push_back({"x\\" + std::to_string(i) + ".csv", "a\n"});
    writeZip(odd + "/many.zip", many);

    const CliResult r = cli({"register-all", odd});
    EXPECT_EQ(r.exitCode, 1);
    const std::pair<const char*, const char*> told[] = {{"pipe.csv", "(10009)"},
                                                        {"empty.zip", "(10007)"},
                                                        {"html.zip", "CSV"},
                                                        {"nested.zip", "zip アーカイブがあります"},
                                                        {"twice.zip", "同じ名前のメンバー"},
                                                        {"many.zip", "(10004)"}};
    for (const auto& [name, reason] : told) {
        const std::size_t at = r.err.find(std::string(name) + ": ");
        ASSERT_NE(at, std::string::npos) << name << "\n" << r.err;
        const std::string line = r.err.substr(at, r.err.find('\n', at) - at);
        EXPECT_NE(line.find(reason), std::string::npos) << line;
    }
    EXPECT_EQ(cli({"register", "東京", odd + "/many.zip"}).exitCode, 1);
}

}  // namespace
}  // namespace mrk2::test
