// mrk2cli register / update / check / delete / postal-build, end to end.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <future>

#include "base/Paths.h"
#include "base/WriterLock.h"
#include "data/Database.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"
#include "support/ZipWriter.h"

namespace mrk2::test {
namespace {

std::string townLines(const std::string& city, int towns, int blocksPerTown) {
    std::string out = "header\r\n";
    for (int t = 1; t <= towns; ++t)
        for (int b = 1; b <= blocksPerTown; ++b)
            out += "東京都," + city + ",町" + std::to_string(t) + ",," + std::to_string(b) +
                   ",9,-1.5,2.5,35.1,139.2,1,0,0,0\r\n";
    return sjis(out);
}

class CliImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = d.write("mrk2tool.ini",
                      "[MRK]\r\nDBDIR=" + d.file("db") +
                          "\r\nPOSINFOFIELDNO=0,1,2,4,5,6,7,8,9,99,10,11\r\nPOSINFOSTART=2\r\n");
        ASSERT_EQ(cli({"init"}).exitCode, 0);
        a = d.write("13101_a.csv", townLines("千代田区", 3, 4));
        b = d.write("13102_b.csv", townLines("中央区", 2, 5));
        setModifiedTime(a, 1600000000);
        setModifiedTime(b, 1600000000);
        std::string postal = d.write(
            "KEN.CSV", sjis("13101,\"100  \",\"1000001\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾁﾖﾀﾞ\",\"東京都\","
                            "\"千代田区\",\"千代田\",0,0,0,0,0,0\r\n"));
        auto r = cli({"postal-build", postal});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--ini", ini, "--quiet"});
        return runCli(args);
    }
    long long rows(const std::string& sql) {
        Database db = Database::open(d.file("db/東京.mdb"), Database::Mode::ReadOnly);
        Statement st = db.prepare(sql);
        return st.step() ? st.int64(0) : -1;
    }

    TempDir d;
    std::string ini, a, b;
};

TEST_F(CliImportTest, RegisterUpdateCheckDelete) {
    auto r = cli({"register", "東京", a});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("処理を完了しました。"), std::string::npos);
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION_0001"), 12);
    EXPECT_EQ(rows("SELECT count(*) FROM POST"), 1);
    EXPECT_NE(r.out.find("町: 0 → 3 (追加 3, 削除 0, 街区数の変化 0)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n時間: "), std::string::npos) << r.out;  // as README says

    // Add b, then take a out: only what changed is loaded or removed.
    r = cli({"update", "東京", b, b});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION管理"), 2);
    EXPECT_NE(r.out.find("ソース: 1 → 2 (再読込 0, 追加 1, 削除 0)\n"), std::string::npos) << r.out;
    r = cli({"update", "東京", "--remove", a});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION管理"), 1);
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION"), 2);
    r = cli({"update", "東京", "--remove", d.file("none.csv")});
    EXPECT_EQ(r.exitCode, 2);
    // "--remove CSV...": every file after it is removed, none is added.
    std::string c = d.write("13103_c.csv", townLines("港区", 1, 2));
    ASSERT_EQ(cli({"update", "東京", a, c}).exitCode, 0);
    r = cli({"update", "東京", "--remove", a, c});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION管理"), 1);

    r = cli({"check", "東京"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("ソース: 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("行: 10\n"), std::string::npos) << r.out;

    r = cli({"delete", "東京"});  // no terminal: the question is answered No
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(fileExists(d.file("db/東京.mdb")));
    r = cli({"--yes", "delete", "東京"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fileExists(d.file("db/東京.mdb")));
    EXPECT_NE(r.out.find("削除した地域: 東京 (東京.mdb, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("町: 2 → 0\n行: 10 → 0\n地域一覧: 1 → 0\n時間: "), std::string::npos)
        << r.out;
}

TEST_F(CliImportTest, RegisterRightAfterInitLeavesTheRegionsPostEmpty) {
    const std::string fresh = d.file("fresh");
    ASSERT_EQ(cli({"init", fresh}).exitCode, 0);
    auto r = cli({"--db-dir", fresh, "register", "東京", a});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Database db = Database::open(fresh + "/東京.mdb", Database::Mode::ReadOnly);
    Statement st =
        db.prepare("SELECT (SELECT count(*) FROM POST), (SELECT count(*) FROM POSITION)");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.int64(0), 0);
    EXPECT_EQ(st.int64(1), 3);
}

TEST_F(CliImportTest, CheckReportsBrokenInvariants) {
    ASSERT_EQ(cli({"register", "東京", a}).exitCode, 0);
    {
        Database db = Database::open(d.file("db/東京.mdb"));
        db.exec(
            "INSERT INTO POSITION (fld都道府県名, fldSrcID, fldTableName) "
            "VALUES ('x', 99, 'POSITION_0042')");
        db.exec("CREATE TABLE POSITION_TMP (x)");
    }
    auto r = cli({"check", "東京"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("POSITION_0042"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("POSITION_TMP"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("fldSrcID"), std::string::npos) << r.out;
}

TEST_F(CliImportTest, RefusalsAndFailuresExitWithOne) {
    auto r = cli({"register", "a/b", a});
    EXPECT_EQ(r.exitCode, 1);
    r = cli({"update", "未登録"});
    EXPECT_EQ(r.exitCode, 1);
    r = cli({"register", "東京", d.file("13199_bad.csv")});  // missing file: answered No
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("処理を中止しました。"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(d.file("db/東京.mdb")));
    EXPECT_FALSE(fileExists(d.file("db/東京_$$$.mdb")));
    r = cli({"register", "東京"});
    EXPECT_EQ(r.exitCode, 2);
}

// Sources that give no rows (a 0-byte member, a header-only one) fail the run,
// named; the region keeps its rows.
TEST_F(CliImportTest, SourcesThatGiveNoRowsChangeNothing) {
    ASSERT_EQ(cli({"register", "東京", a}).exitCode, 0);
    const std::string zip =
        writeZip(d.file("empty.zip"), {{"e\\0.csv", ""}, {"e\\1.csv", sjis("header\r\n")}});
    CliResult r = cli({"register", "東京", zip});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("(10007)\n" + zip + "/e\\0.csv\n" + zip + "/e\\1.csv"), std::string::npos)
        << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION"), 3);
}

TEST_F(CliImportTest, StartLinesAreCheckedAsTheWindowChecksThem) {
    const std::pair<const char*, const char*> refused[] = {
        {"0x10", "開始行数に数値を入力して下さい"},
        {"0", "開始行数には 1 から 32767 までの数値を入力して下さい"},
    };
    for (const auto& [startLine, message] : refused) {
        SCOPED_TRACE(startLine);
        auto r = cli({"register", "東京", a, "--start-line", startLine});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("処理を"), std::string::npos) << "no run began: " << r.err;
    }
    EXPECT_FALSE(fileExists(d.file("db/東京.mdb")));
    // Full-width digits are a number: the header line is skipped.
    auto r = cli({"register", "東京", a, "--start-line", "２"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION_0001"), 12);

    // The national build honours its start line too: a header line is passed over.
    const std::string withHeader = d.write(
        "KEN_H.CSV", sjis("郵便番号データ\r\n13101,\"100  \",\"1000002\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\","
                          "\"ｶﾅ\",\"東京都\",\"千代田区\",\"皇居外苑\",0,0,0,0,0,0\r\n"));
    EXPECT_EQ(cli({"postal-build", withHeader}).exitCode, 1);
    r = cli({"postal-build", withHeader, "--start-line", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("→ 1 件"), std::string::npos) << r.out;
}

TEST_F(CliImportTest, NamesOfTheToolsOwnFilesAreRefusedEverywhere) {
    ASSERT_EQ(cli({"register", "R", a}).exitCode, 0);
    const std::string base = readFile(d.file("db/mrk2.mdb"));
    for (const char* name : {"mrk2", "MRK2", "R_$$$", "R_cmpact", "mrk_123", "mrk_cmpact"}) {
        SCOPED_TRACE(name);
        for (auto args : std::vector<std::vector<std::string>>{{"register", name, a},
                                                               {"update", name},
                                                               {"--yes", "delete", name},
                                                               {"check", name},
                                                               {"sources", name}}) {
            auto r = cli(args);
            EXPECT_EQ(r.exitCode, 1) << args[0];
            EXPECT_NE(r.err.find("作業ファイルの名前と重なります"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(readFile(d.file("db/mrk2.mdb")), base);
    EXPECT_TRUE(fileExists(d.file("db/R.mdb")));
}

TEST_F(CliImportTest, OneWriterAtATimeAndAKilledHolderLeavesNoLock) {
    const std::string big = d.write("13103_big.csv", townLines("港区", 200, 100));
    auto first = std::async(std::launch::async, [&] { return cli({"register", "東京", big}); });
    auto second = std::async(std::launch::async, [&] { return cli({"register", "東京", big}); });
    CliResult r1 = first.get(), r2 = second.get();
    EXPECT_EQ(r1.exitCode + r2.exitCode, 1) << r1.err << r2.err;
    const CliResult& refused = r1.exitCode ? r1 : r2;
    EXPECT_NE(refused.err.find("更新中です"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(d.file("db")), std::string::npos) << refused.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION"), 200);
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION管理"), 1);

    // A holder killed while it holds the lock leaves it free.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    if (holder == 0) {
        WriterLock lock = WriterLock::take(d.file("db"));
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(cli({"register", "東京", a}).exitCode, 1);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    auto r = cli({"register", "東京", a});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(CliImportTest, AFileGivenTwiceIsLoadedOnce) {
    const std::string sub = d.file("sub");
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    ASSERT_EQ(::symlink(a.c_str(), (sub + "/link.csv").c_str()), 0);
    auto r = cli({"register", "東京", a, a, sub + "/../" + fileNameOf(a), sub + "/link.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("一度だけ読み込みます"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(sub + "/link.csv"), std::string::npos) << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION管理"), 1);
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION_0001"), 12);
}

}  // namespace
}  // namespace mrk2::test

namespace mrk2::test {
namespace {

// An archive stands for its CSV members in register and --remove, and the
// summary counts the towns no municipality code was found for.
TEST_F(CliImportTest, ArchivesOnTheCommandLineAndTownsWithoutACode) {
    const std::string zip =
        writeZip(d.file("13000-17.0a.zip"), {{"13000-17.0a\\13101_a.csv", readFile(a)},
                                             {"13000-17.0a\\x.csv", townLines("架空区", 1, 2)}});
    auto r = cli({"register", "東京", zip, b});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("ソース: 0 → 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("市区町村コード不明の町: 1 (東京都架空区)"), std::string::npos) << r.out;
    r = cli({"update", "東京", "--remove", zip});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION管理"), 1);
    EXPECT_EQ(rows("SELECT count(*) FROM POSITION WHERE fld市区町村コード = '13102'"), 2);
}

// The smaller faults, each told as what it is instead of something else.
// A region file that is no database is told once, by the run, not again by
// the account taken before it.
TEST_F(CliImportTest, ARegionFileThatIsNoDatabaseIsToldOnce) {
    d.write("db/東京.mdb", "garbage");
    CliResult r = cli({"register", "東京", a});
    EXPECT_EQ(r.exitCode, 1);
    const std::string told = "データベースファイルではありません";
    ASSERT_NE(r.err.find(told), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(told, r.err.find(told) + 1), std::string::npos) << r.err;
}

TEST_F(CliImportTest, SmallerFaultsAreToldAsWhatTheyAre) {
    ASSERT_EQ(cli({"register", "東京", a}).exitCode, 0);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string fifo = d.file("fifo.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string noDbDir = d.write("nodir.ini", "[MRK]\r\n");
    const Case cases[] = {
        {{"register", "東京", d.path()}, "通常のファイルではありません"},
        {{"register", "東京", fifo}, "通常のファイルではありません"},
        {{"register", "東\t京", a}, "ファイル名に使えません"},
        {{"sources", "東\n京"}, "ファイル名に使えません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CliResult r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    CliResult r = runCli({"--ini", d.file("typo.ini"), "regions"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("設定ファイルが見つかりません"), std::string::npos) << r.err;
    r = runCli({"--ini", noDbDir, "regions"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("DBDIR"), std::string::npos) << r.err;

    // A lock file that is a link is not followed.
    const std::string lock = d.file("db/mrk2.lock");
    std::remove(lock.c_str());
    ASSERT_EQ(::symlink(d.file("elsewhere").c_str(), lock.c_str()), 0);
    EXPECT_EQ(cli({"register", "東京", a}).exitCode, 1);
    EXPECT_FALSE(fileExists(d.file("elsewhere")));
    std::remove(lock.c_str());

    // Work files beside a running writer are its own, not an interrupted run's.
    WriterLock held = WriterLock::take(d.file("db"));
    d.write("db/東京_$$$.mdb", "");
    r = cli({"check", "東京"});
    EXPECT_NE(r.err.find("処理の実行中です"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace mrk2::test

namespace mrk2::test {
namespace {

// A change a killed writer left recorded is finished by the next command,
// whichever it is: both halves of the region exist afterwards, or neither.
TEST_F(CliImportTest, TheNextCommandFinishesARegionChangeAKilledWriterLeft) {
    ASSERT_EQ(cli({"register", "東京", a}).exitCode, 0);
    // Killed after the rename of a new region, before its catalog row.
    d.write("db/大阪.mdb", readFile(d.file("db/東京.mdb")));
    d.write("db/mrk2.pending", "register\n大阪\n");
    CliResult r = cli({"regions"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\t大阪\t"), std::string::npos) << r.out;
    // Killed after the file of a deletion, before its commit.
    std::remove(d.file("db/東京.mdb").c_str());
    d.write("db/mrk2.pending", "delete\n東京\n");
    r = cli({"learn", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = cli({"regions"});
    EXPECT_EQ(r.out.find("東京"), std::string::npos) << r.out;
    EXPECT_FALSE(fileExists(d.file("db/mrk2.pending")));
    // A change that cannot be finished now stays recorded; the command meets
    // the fault itself and tells it.
    d.write("db/mrk2.pending", "register\n大阪\n");
    Database::open(d.file("db/mrk2.mdb")).exec("DROP TABLE \"ＤＢ一覧\"");
    r = cli({"regions"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("ＤＢ一覧"), std::string::npos) << r.err;
    EXPECT_TRUE(fileExists(d.file("db/mrk2.pending")));
}

}  // namespace
}  // namespace mrk2::test
