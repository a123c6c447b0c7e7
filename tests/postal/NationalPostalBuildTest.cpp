#include "postal/NationalPostalBuild.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "postal/PostalTable.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"
#include "support/ZipWriter.h"

namespace mrk2::test {
namespace {

std::string postalLine(const std::string& code, const std::string& town) {
    return "13101,\"100  \",\"" + code +
           "\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ｶﾅ\",\"東京都\",\"千代田区\",\"" + town +
           "\",0,0,0,0,0,0\r\n";
}

class NationalPostalBuildTest : public ::testing::Test {
  protected:
    void SetUp() override {
        request.dbDir = dir.path();
        createBaseDatabase(basePath);
    }

    Outcome::Kind build(const std::string& bytes, int startLine = 1) {
        request.csvPath = dir.write("KEN_ALL.CSV", bytes);
        request.startLine = startLine;
        return run();
    }
    Outcome::Kind run() { return startNationalPostalBuild(request, person, person).kind; }
    std::vector<std::string> codes() {
        Database db = Database::open(basePath, Database::Mode::ReadOnly);
        Statement st = db.prepare("SELECT fld郵便番号 FROM POST ORDER BY fldID");
        std::vector<std::string> out;
        while (st.step())
            out.push_back(st.text(0));
        return out;
    }
    bool workFilesLeft() {
        return fileExists(dir.file("mrk_123.mdb")) || fileExists(dir.file("mrk_cmpact.mdb"));
    }

    TempDir dir;
    std::string basePath = dir.file("mrk2.mdb");
    NationalPostalRequest request;
    RecordingPerson person;
};

TEST_F(NationalPostalBuildTest, BuildsPostDroppingLeadingZerosAndReplacesAnOldOne) {
    ASSERT_EQ(build(sjis(postalLine("0600000", "札幌") + postalLine("1000001", "千代田"))),
              Outcome::Kind::Completed)
        << person.allMessages();
    EXPECT_EQ(codes(), (std::vector<std::string>{"600000", "1000001"}));
    EXPECT_FALSE(person.lastStoppable);
    EXPECT_EQ(person.labelHistory(ProgressLabel::DetailProc),
              (std::vector<std::string>{"全国郵便番号テーブル作成中です。",
                                        "基本データベースを最適化中です。"}));
    EXPECT_EQ(person.lastLabel(ProgressLabel::OnProccess), "");
    EXPECT_FALSE(workFilesLeft());
    using Event = RecordingPerson::RunEvent;
    EXPECT_EQ(person.runEvents, (std::vector<Event>{Event::Started, Event::Ended}));

    ASSERT_EQ(build(sjis(postalLine("1000002", "皇居外苑"))), Outcome::Kind::Completed);
    EXPECT_EQ(codes(), (std::vector<std::string>{"1000002"}));
    // Other tables travel through the copy.
    Database db = Database::open(basePath, Database::Mode::ReadOnly);
    EXPECT_TRUE(db.tableExists("都道府県名"));
    EXPECT_TRUE(db.tableExists("学習"));
}

TEST_F(NationalPostalBuildTest, ManyLinesKeepTheirOrderAcrossWriteBatchesAndNeedNoCompaction) {
    std::string lines;
    std::vector<std::string> expected;
    for (int i = 0; i < 10000; ++i) {
        expected.push_back(std::to_string(1000000 + i));
        lines += postalLine(expected.back(), "町" + std::to_string(i));
    }
    ASSERT_EQ(build(sjis(lines)), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(codes(), expected);
    Database db = Database::open(basePath, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT type FROM sqlite_schema ORDER BY rowid");
    std::vector<std::string> types;
    while (st.step())
        types.push_back(st.text(0));
    // Every table before every index, as a compacted copy lists them.
    EXPECT_TRUE(std::is_partitioned(types.begin(), types.end(),
                                    [](const std::string& t) { return t == "table"; }));
}

TEST_F(NationalPostalBuildTest, AHeaderLineFailsUnlessTheStartLineSkipsIt) {
    const std::string csv = sjis("code,a,郵便番号,b,c,d,e,f,g\r\n" + postalLine("1000001", "x"));
    std::string before = readFile(basePath);
    EXPECT_EQ(build(csv), Outcome::Kind::Failed);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("\n" + dir.file("KEN_ALL.CSV")), std::string::npos);
    EXPECT_EQ(readFile(basePath), before);
    EXPECT_FALSE(workFilesLeft());
    using Event = RecordingPerson::RunEvent;
    EXPECT_EQ(person.runEvents, (std::vector<Event>{Event::Started, Event::Ended}));

    ASSERT_EQ(build(csv, 2), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(codes(), std::vector<std::string>{"1000001"});
}

TEST_F(NationalPostalBuildTest, EmptyLinesAndShortLines) {
    // A final line break makes no row; an empty line in the middle fails.
    ASSERT_EQ(build(sjis(postalLine("1000001", "a") + postalLine("1000002", "b"))),
              Outcome::Kind::Completed);
    EXPECT_EQ(codes().size(), 2u);
    EXPECT_EQ(build(sjis(postalLine("1000001", "a") + "\r\n" + postalLine("1000002", "b"))),
              Outcome::Kind::Failed);
    EXPECT_EQ(codes().size(), 2u);
}

TEST_F(NationalPostalBuildTest, TheFirstSevenColumnsWhenConfigured) {
    request.columns = {0, 1, 2, 3, 4, 5, 6};
    ASSERT_EQ(build(sjis("0010000,ﾎｯｶｲﾄﾞｳ,ｻｯﾎﾟﾛｼ,ｷﾀｸ,北海道,札幌市北区,北十条\r\n")),
              Outcome::Kind::Completed)
        << person.allMessages();
    Database db = Database::open(basePath, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT fld郵便番号, fldトドウフケン, fld地名 FROM POST");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), "10000");
    EXPECT_EQ(st.text(1), "ﾎｯｶｲﾄﾞｳ");
    EXPECT_EQ(st.text(2), "北十条");
}

TEST_F(NationalPostalBuildTest, ChecksComeFirstAndStaleWorkFilesAreReplaced) {
    std::string before = readFile(basePath);
    request.csvPath = "";
    EXPECT_EQ(run(), Outcome::Kind::Refused);
    request.csvPath = dir.file("none.csv");
    EXPECT_EQ(run(), Outcome::Kind::Refused);
    ASSERT_EQ(person.messages.size(), 2u);
    EXPECT_EQ(person.messages[0].text, "全国版郵便番号CSVファイルが指定されていません。");
    EXPECT_EQ(person.messages[1].text, "全国版郵便番号CSVファイルが見つかりません。");
    EXPECT_TRUE(person.runEvents.empty());
    EXPECT_EQ(readFile(basePath), before);

    dir.write("mrk_123.mdb", "stale");
    dir.write("mrk_123.mdb-journal", "stale journal");
    dir.write("mrk_cmpact.mdb", "stale");
    ASSERT_EQ(build(sjis(postalLine("1000001", "a"))), Outcome::Kind::Completed)
        << person.allMessages();
    EXPECT_FALSE(workFilesLeft());
    EXPECT_FALSE(fileExists(dir.file("mrk_123.mdb-journal")));
}

}  // namespace
}  // namespace mrk2::test

namespace mrk2::test {
namespace {

// Japan Post publishes the table twice: ken_all.zip (CP932, half-width kana, a
// long town split over lines) and utf_ken_all.zip (UTF-8, full-width kana, one
// line per code). Read from either archive, POST holds the same readings.
TEST_F(NationalPostalBuildTest, BothPublishedArchivesGiveTheSameReadings) {
    auto readings = [&] {
        Database db = Database::open(basePath, Database::Mode::ReadOnly);
        Statement st = db.prepare(
            "SELECT fld郵便番号 || fldトドウフケン || fldシクチョウソン || fldチメイ || fld地名 "
            "FROM POST ORDER BY fldID");
        std::vector<std::string> out;
        while (st.step())
            out.push_back(st.text(0));
        return out;
    };
    const std::string cp932Line =
        "13101,\"100  \",\"1000005\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\","
        "\"ﾏﾙﾉｳﾁ(ﾂｷﾞﾉﾋﾞﾙｦﾉｿﾞｸ)\",\"東京都\",\"千代田区\","
        "\"丸の内（次のビルを除く）\",0,0,1,0,0,0\r\n";
    const std::string utf8Line =
        "13101,\"100  \",\"1000005\",\"トウキョウト\",\"チヨダク\","
        "\"マルノウチ（ツギノビルヲノゾク）\",\"東京都\",\"千代田区\","
        "\"丸の内（次のビルを除く）\",0,0,1,0,0,0\r\n";
    request.csvPath = writeZip(dir.file("ken_all.zip"), {{"KEN_ALL.CSV", sjis(cp932Line)}});
    ASSERT_EQ(run(), Outcome::Kind::Completed) << person.allMessages();
    const std::vector<std::string> fromCp932 = readings();
    request.csvPath = writeZip(dir.file("utf_ken_all.zip"), {{"utf_ken_all.csv", utf8Line}});
    ASSERT_EQ(run(), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(readings(), fromCp932);
    EXPECT_EQ(fromCp932, (std::vector<std::string>{
                             "1000005ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ(ﾂｷﾞﾉﾋﾞﾙｦﾉｿﾞｸ)丸の内（次のビルを除く）"}));
}

}  // namespace
}  // namespace mrk2::test
