#include <gtest/gtest.h>

#include "base/Paths.h"
#include "data/Database.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

class CliBasicsTest : public ::testing::Test {
  protected:
    // Every run gets its own settings file, so that one lying beside the built
    // mrk2cli never leaks in.
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ini", ini});
        return runCli(args);
    }

    TempDir dir;
    std::string ini = dir.write("mrk2tool.ini", "");
    std::string db = dir.file("db");
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    return out;
}

}  // namespace

TEST_F(CliBasicsTest, InitThenRegionsListsTheCatalog) {
    CliResult r = cli({"init", db});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(fileExists(db + "/mrk2.mdb"));

    {
        Database base = Database::open(db + "/mrk2.mdb");
        base.exec(
            "INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都', '/old'), "
            "('大阪府', NULL)");
    }
    Database::open(db + "/東京都.mdb", Database::Mode::Create).exec("CREATE TABLE t (x)");

    r = cli({"--db-dir", db, "regions"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(lines(r.out),
              (std::vector<std::string>{"ID\t地域名\tディレクトリ\tファイル",
                                        "1\t東京都\t/old\tあり", "2\t大阪府\t\tなし"}));
}

TEST_F(CliBasicsTest, InitTakesDbdirFromTheSettingsAndRefusesToOverwrite) {
    TempDir settings;
    std::string body = "[MRK]\r\nDBDIR=" + db + "\r\n";
    ini = settings.write("mrk2tool.ini", body);
    CliResult r = cli({"init"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(fileExists(db + "/mrk2.mdb"));
    std::string before = readFile(db + "/mrk2.mdb");

    r = cli({"init"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("既に存在します"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(db + "/mrk2.mdb"), before);
}

TEST_F(CliBasicsTest, SourcesListsRecordedFilesAndWhetherTheyChanged) {
    ASSERT_EQ(cli({"init", db}).exitCode, 0);
    std::string csv = dir.write("13101.csv", "x");
    setModifiedTime(csv, 1700000000);
    std::string date = *fileModifiedText(csv);
    {
        Database region = Database::open(db + "/東京都.mdb", Database::Mode::Create);
        region.exec(
            "CREATE TABLE \"POSITION管理\" (fldID INTEGER PRIMARY KEY AUTOINCREMENT, "
            "fldSrcFile TEXT, fldSrcDir TEXT, fldDate TEXT)");
        Statement ins = region.prepare(
            "INSERT INTO \"POSITION管理\" (fldSrcDir, fldSrcFile, fldDate) VALUES (?1, ?2, ?3)");
        ins.bind(1, dir.path()).bind(2, "13101.csv").bind(3, date).run();
        ins.bind(1, dir.path()).bind(2, "13102.csv").bind(3, date).run();
    }
    CliResult r = cli({"--db-dir", db, "sources", "東京都"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{
                                "ディレクトリ\tファイル\t登録時の日付\t現在の日付\t変更",
                                dir.path() + "\t13101.csv\t" + date + "\t" + date + "\t変更なし",
                                dir.path() + "\t13102.csv\t" + date + "\t\tファイルなし"}));

    setModifiedTime(csv, 1700000600);
    r = cli({"--db-dir", db, "sources", "東京都"});
    EXPECT_NE(r.out.find("\t変更あり\n"), std::string::npos) << r.out;
}

TEST_F(CliBasicsTest, FailuresExitWithOneAndAMessage) {
    ASSERT_EQ(cli({"init", db}).exitCode, 0);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    Database::open(db + "/空.mdb", Database::Mode::Create).exec("CREATE TABLE POST (x)");
    const Case cases[] = {
        {{"--db-dir", db, "sources", "東京都"},
         "地域別ＤＢが見つかりません。\n" + db + "/東京都.mdb"},
        {{"--db-dir", db, "sources", "空"}, "POSITION管理"},
        {{"--db-dir", db, "sources", ".."}, "ファイル名に使えません"},
        {{"--db-dir", dir.file("none"), "regions"}, "(14)\n" + dir.file("none") + "/mrk2.mdb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CliResult r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliBasicsTest, ABadSettingStopsBeforeTheCommand) {
    TempDir settings;
    ini = settings.write("mrk2tool.ini", "[MRK]\r\nMINRECS=many\r\n");
    CliResult r = cli({"init", db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("MINRECS の値「many」"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(db + "/mrk2.mdb"));
}

TEST_F(CliBasicsTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"init"},  // no DIR and no DBDIR
        {"init", "a", "b"},
        {"init", "--force", "a"},
        {"--db-dir", db, "regions", "extra"},
        {"--db-dir", db, "sources"},
        {"--db-dir", db, "sources", "a", "b"},
        {"nosuchcommand"},
        {"--nosuchoption", "regions"},
        {},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.back());
        CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(CliHelp, ListsTheCommands) {
    CliResult r = runCli({"--help"});
    ASSERT_EQ(r.exitCode, 0);
    for (const char* usage : {"init [DIR]", "regions", "sources REGION"})
        EXPECT_NE(r.out.find("  " + std::string(usage)), std::string::npos) << usage;
    // A command's own help is its line of the whole help.
    r = runCli({"sources", "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("使い方: mrk2cli sources REGION\n", 0), 0u) << r.out;
}
