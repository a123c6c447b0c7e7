// mrk2cli lookup and diff, end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <nlohmann/json.hpp>

#include "support/CliRunner.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class LookupCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini", "[MRK]\r\nDBDIR=" + d.path() + "\r\n");
        RegionBuilder region(d.file("東京.mdb"));
        region.addSource("13101.csv", "2024-01-01 00:00:00",
                         {{"東京都", "千代田区", "丸の内一丁目", "1", "35.681", "139.767"},
                          {"東京都", "千代田区", "丸の内一丁目", "2", "35.682", "139.768"},
                          {"東京都", "中央区", "銀座一丁目", "1", "35.674", "139.770"},
                          {"東京都", "中央区", "新\x1b[2J町", "1", "35.675", "139.771"}});
    }
    CliResult lookup(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--ini", ini, "lookup", "東京"});
        return runCli(args, input);
    }
    TempDir d;
    std::string ini;
};

TEST_F(LookupCliTest, OneAddressAsATableRow) {
    CliResult r = lookup({"千代田区丸の内一丁目", "2"});  // the words make one address
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "都道府県名\t市区町村名\t大字・町丁目\t街区・番地\t緯度\t経度\t座標系番号\tＸ座標\tＹ座"
        "標\tテーブル\t一致レベル\n"
        "東京都\t千代田区\t丸の内一丁目\t2\t35.682\t139.768\t9\t-100.5\t200.5\tPOSITION_0001\t"
        "街区\n");

    r = lookup({"丸の外1-1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("近い町: 東京都千代田区丸の内一丁目"), std::string::npos) << r.err;
}

TEST_F(LookupCliTest, StandardInputIsAnsweredInOrder) {
    const std::string input = "銀座一丁目1\n知らない町\n丸の内一丁目1\n";
    CliResult r = lookup({"-", "--json"}, input);
    EXPECT_EQ(r.exitCode, 1);  // one address had no answer
    const auto answers = nlohmann::json::parse(r.out);
    ASSERT_EQ(answers.size(), 3u) << r.out;
    EXPECT_EQ(answers[0]["入力"], "銀座一丁目1");
    EXPECT_EQ(answers[1]["一致レベル"], "不一致");
    EXPECT_EQ(answers[2]["大字・町丁目"], "丸の内一丁目");

    r = lookup({"-", "--geojson"}, input);
    const auto features = nlohmann::json::parse(r.out)["features"];
    EXPECT_EQ(features[0]["geometry"]["coordinates"], nlohmann::json::array({139.770, 35.674}));
    EXPECT_TRUE(features[1]["geometry"].is_null());

    EXPECT_NE(lookup({"-"}, input).out.find("\t不一致\n"), std::string::npos);
    // A byte order mark before the first line is no part of its address.
    EXPECT_EQ(lookup({"-"}, "\xEF\xBB\xBF銀座一丁目1\n").exitCode, 0);
}

// SIGTERM, as a service manager stops a program, is taken as Ctrl-C is: the
// program winds down and exits instead of being killed where it stands.
TEST_F(LookupCliTest, SigtermIsTakenAsCtrlC) {
    int in[2], out[2];
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::close(in[1]);
        ::close(out[0]);
        ::execl(MRK2_CLI_PATH, MRK2_CLI_PATH, "--ini", ini.c_str(), "lookup", "東京", "-",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    const std::string line = "銀座一丁目1\n";
    ASSERT_EQ(::write(in[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    // Its answer is out: the handlers are in place.
    std::string got;
    char buf[4096];
    for (ssize_t n;
         got.find("銀座") == std::string::npos && (n = ::read(out[0], buf, sizeof buf)) > 0;)
        got.append(buf, static_cast<std::size_t>(n));
    ::kill(pid, SIGTERM);
    ::close(in[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
}

// A line that cannot be an address is answered as an input error in its place,
// and neither it nor a stored control character reaches the terminal raw.
TEST_F(LookupCliTest, UnreadableLinesAreInputErrorsAndControlsAreEscaped) {
    const std::string input = "\xff\xfe\n" + std::string(1001, '1') + "\n中央区新\x1b[2J町1\n";
    CliResult r = lookup({"-"}, input);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.out.find(
            "\t入力エラー\n\t\t\t\t\t\t\t\t\t\t入力エラー\n東京都\t中央区\t新\\x1B[2J町\t1\t"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("入力エラー（1行目）: 住所がUTF-8の文字列ではありません"),
              std::string::npos);
    EXPECT_NE(r.err.find("入力エラー（2行目）: 住所が1000文字を超えています"), std::string::npos);
    for (const std::string& raw :
         {std::string("\xff"), std::string(1001, '1'), std::string("\x1b")}) {
        EXPECT_EQ(r.out.find(raw), std::string::npos);
        EXPECT_EQ(r.err.find(raw), std::string::npos);
    }

    r = lookup({"-", "--json"}, input);
    const auto answers = nlohmann::json::parse(r.out);
    EXPECT_EQ(answers[1]["一致レベル"], "入力エラー");
    EXPECT_EQ(answers[1]["エラー"], "住所が1000文字を超えています");
    EXPECT_EQ(answers[2]["緯度"], 35.675);
    EXPECT_EQ(answers[2]["Ｘ座標"], -100.5);
    EXPECT_EQ(answers[2]["座標系番号"], "9");
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);  // written as \u001b
}

TEST_F(LookupCliTest, DiffOfTwoRegionFiles) {
    RegionBuilder newer(d.file("新.mdb"));
    newer.addSource(
        "13101.csv", "2024-02-01 00:00:00",
        {{"東京都", "千代田区", "丸の内一丁目", "1"}, {"東京都", "千代田区", "大手町", "1"}});
    CliResult r = runCli({"diff", d.file("東京.mdb"), d.file("新.mdb")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("町: 3 → 2 (追加 1, 削除 2, 街区数の変化 1)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("町追加\t東京都千代田区大手町\t0\t1\n"), std::string::npos) << r.out;
    EXPECT_EQ(runCli({"diff", d.file("東京.mdb"), d.file("無い.mdb")}).exitCode, 1);
}

}  // namespace
}  // namespace mrk2::test
