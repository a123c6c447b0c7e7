// mrk2cli learn list / add / delete, end to end.
#include <gtest/gtest.h>

#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class LearnCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini", "[MRK]\r\nDBDIR=" + d.path() + "\r\n");
        createBaseDatabase(d.file("mrk2.mdb"));
        Database db = Database::open(d.file("mrk2.mdb"));
        db.exec("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES ('東京', '/d'), ('大阪', '/d')");
    }
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ini", ini, "--quiet", "learn"});
        return runCli(args);
    }
    std::string add(std::vector<std::string> args) {
        args.insert(args.begin(), "add");
        CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    TempDir d;
    std::string ini;
};

const char* const kHeader = "ID\t登録字句\t変換字句\t参照回数\tユーザー\t区分\n";

TEST_F(LearnCliTest, AddListAndDeleteRoundTrip) {
    EXPECT_EQ(add({"ｼﾝｼﾞｭｸ", "新宿区"}), "1\n");
    EXPECT_EQ(add({"O'Neil", "オニール町", "--level", "town", "--owner", "大阪", "--count", "7"}),
              "2\n");
    add({"100%", "百", "--owner", "common"});

    CliResult all = cli({"list"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, std::string(kHeader) +
                           "1\tｼﾝｼﾞｭｸ\t新宿区\t1\t共通\t市区町村\n"
                           "2\tO'Neil\tオニール町\t7\t大阪\t大字・町丁目\n"
                           "3\t100%\t百\t1\t共通\t市区町村\n");

    // A quote and a percent sign are looked for as they are.
    EXPECT_EQ(cli({"list", "--keyword", "'"}).out,
              std::string(kHeader) + "2\tO'Neil\tオニール町\t7\t大阪\t大字・町丁目\n");
    EXPECT_EQ(cli({"list", "--keyword", "%"}).out,
              std::string(kHeader) + "3\t100%\t百\t1\t共通\t市区町村\n");
    // Owner and level narrow; the level counts only with a keyword.
    EXPECT_EQ(
        cli({"list", "--owner", "common", "--level", "town"}).out.size(),
        all.out.size() - std::string("2\tO'Neil\tオニール町\t7\t大阪\t大字・町丁目\n").size());
    EXPECT_EQ(cli({"list", "--keyword", "区", "--field", "tran", "--level", "town"}).out, kHeader);
    EXPECT_EQ(cli({"list", "--keyword", "区", "--field", "both", "--level", "city"}).out,
              std::string(kHeader) + "1\tｼﾝｼﾞｭｸ\t新宿区\t1\t共通\t市区町村\n");
    // A region the catalog does not know searches every owner.
    EXPECT_EQ(cli({"list", "--owner", "京都"}).out, all.out);

    EXPECT_EQ(cli({"delete", "2"}).exitCode, 0);
    CliResult again = cli({"delete", "2"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("ID 2 の項目はありません。"), std::string::npos);
    EXPECT_EQ(cli({"list", "--keyword", "'"}).out, kHeader);
}

TEST_F(LearnCliTest, RefusesWhatTheEditorRefuses) {
    CliResult r = cli({"add", "a", "b", "--count", "many"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("参照回数には"), std::string::npos);
    r = cli({"add", "", "b"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("全項目を設定して下さい。"), std::string::npos);
    r = cli({"add", "a", "b", "--owner", "京都"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("京都"), std::string::npos);
    EXPECT_EQ(cli({"list"}).out, kHeader);

    EXPECT_EQ(cli({"add", "a"}).exitCode, 2);
    EXPECT_EQ(cli({"list", "--level", "village"}).exitCode, 2);
    EXPECT_EQ(cli({"delete", "x"}).exitCode, 2);
    EXPECT_EQ(cli({"rename"}).exitCode, 2);
}

TEST_F(LearnCliTest, MissingBaseDatabaseFails) {
    std::string other = d.write("other.ini", "[MRK]\r\nDBDIR=" + d.file("none") + "\r\n");
    CliResult r = runCli({"--ini", other, "--quiet", "learn", "list"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());
}

}  // namespace
}  // namespace mrk2::test
