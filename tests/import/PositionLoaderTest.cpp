#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "import/PositionLoader.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::RecordingPerson;
using mrk2::test::sjis;
using mrk2::test::TempDir;

namespace {

using Row = std::vector<std::optional<std::string>>;

class PositionLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db = dir.file("region_$$$.mdb");
        Database::open(db, Database::Mode::Create);
        createPositionTables(db);
        createStagingTable(db);
    }

    // Writes a CP932 CSV file with CRLF line ends.
    std::string csv(const std::string& name, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const auto& l : lines)
            bytes += sjis(l) + "\r\n";
        return dir.write(name, bytes);
    }

    // Loads file `n` of `count` as the run does, and tells a failure as the run's
    // starter would. False when the load failed or was stopped.
    bool load(const std::string& file, int n = 1, int count = 1) {
        RunProgress progress(person, stop);
        progress.report().files = count;
        progress.beginFile(n, file, 0);
        progress.step(ProgressStep::Staging);
        try {
            loadPositionCsv(db, {dir.path(), file}, layout, progress, prefs, skipMissing);
        } catch (const std::exception& e) {
            reportError(person, e);
            return false;
        }
        return !stop.stopRequested();
    }

    std::vector<Row> staged() {
        Database d = Database::open(db);
        Statement st = d.prepare(
            "SELECT fld市区町村コード, fld都道府県名, fld市区町村名, fld大字・町丁目, "
            "fld街区・番地, "
            "fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度, fldメッシュコード, "
            "fld住居表示フラグ, fld代表フラグ, fldPositionID, fldSrcID, fldSrcDir, fldSrcFile "
            "FROM POSITION_TMP ORDER BY fldID");
        std::vector<Row> rows;
        while (st.step()) {
            Row r;
            for (int i = 0; i < st.columnCount(); ++i)
                r.push_back(st.optionalText(i));
            rows.push_back(r);
        }
        return rows;
    }

    std::int64_t count(const std::string& sql) {
        Database d = Database::open(db);
        Statement st = d.prepare(sql);
        st.step();
        return st.int64(0);
    }

    TempDir dir;
    std::string db;
    RecordingPerson person;
    StopControl stop;
    ConfiguredColumns layout;
    std::vector<std::string> prefs;  // the prefectures of the run's files
    bool skipMissing = false;        // the request's answer for a missing file
};

const std::string kLine =
    "\"東京都\",\"千代田区\",\"飯田橋一丁目\",\"1\",\"9\",\"-35225.1\",\"-7012.8\","
    "\"35.699\",\"139.748\",\"53394611\",\"1\",\"0\"";

}  // namespace

TEST_F(PositionLoaderTest, StagesEveryColumnWithTheSourceAndRecordsTheSourceFirst) {
    csv("13101_2023.csv", {kLine, "東京都,千代田区,,2,9,1,2,3,4,,0,1"});
    ASSERT_TRUE(load("13101_2023.csv", 2, 5)) << person.allMessages();
    auto rows = staged();
    ASSERT_EQ(rows.size(), 2u);
    std::string dirPath = dir.path();
    EXPECT_EQ(rows[0], (Row{"13101", "東京都", "千代田区", "飯田橋一丁目", "1", "9", "-35225.1",
                            "-7012.8", "35.699", "139.748", "53394611", "1", "0", std::nullopt, "1",
                            dirPath, "13101_2023.csv"}));
    // Empty town and empty mesh code stay NULL.
    EXPECT_EQ(rows[1][3], std::nullopt);
    EXPECT_EQ(rows[1][10], std::nullopt);

    Database d = Database::open(db);
    Statement src = d.prepare("SELECT fldID, fldSrcFile, fldSrcDir, fldDate FROM POSITION管理");
    ASSERT_TRUE(src.step());
    EXPECT_EQ(src.int64(0), 1);
    EXPECT_EQ(src.text(1), "13101_2023.csv");
    EXPECT_EQ(src.text(2), dirPath);
    EXPECT_EQ(src.text(3), *fileModifiedText(dir.file("13101_2023.csv")));

    EXPECT_EQ(person.lastLabel(ProgressLabel::DetailProc), "13101 (2/5)");
    EXPECT_EQ(person.lastLabel(ProgressLabel::DetailProcSub), "2");
    EXPECT_EQ(prefs, (std::vector<std::string>{"東京都"}));
}

TEST_F(PositionLoaderTest, StartLineSkipsHeaderLines) {
    csv("13101.csv", {"h1", "h2,x", "h3", kLine});
    layout.startLine = 4;
    ASSERT_TRUE(load("13101.csv")) << person.allMessages();
    EXPECT_EQ(staged().size(), 1u);

    // With start line 1 the header lines are data and the first one fails.
    createStagingTable(db);
    layout.startLine = 1;
    EXPECT_FALSE(load("13101.csv"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text,
              "1 行目: 列 1 がありません。(10001)\n" + dir.file("13101.csv"));
}

TEST_F(PositionLoaderTest, MissingMeshColumnIsNullButAnyOtherMissingColumnFails) {
    // The mesh code is configured as the last column and the lines lack it.
    layout.columns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 9, 10};
    csv("a.csv", {"東京都,港区,芝,1,9,1,2,3,4,1,0"});
    ASSERT_TRUE(load("a.csv")) << person.allMessages();
    auto rows = staged();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][10], std::nullopt);
    EXPECT_EQ(rows[0][11], "1");

    layout.columns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    createStagingTable(db);
    csv("b.csv", {kLine, kLine, "東京都,港区,芝,1,9,1,2,3,4,5,1"});
    EXPECT_FALSE(load("b.csv"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text, "3 行目: 列 11 がありません。(10001)\n" + dir.file("b.csv"));
    // The rows before the fault and the source stay for the run to discard.
    EXPECT_EQ(staged().size(), 2u);
    EXPECT_EQ(count("SELECT count(*) FROM POSITION管理"), 2);

    // The town may be empty, but a line without the town column is as faulty as
    // one without any other column.
    layout.columns = {0, 1, 12, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    createStagingTable(db);
    csv("c.csv", {kLine});
    EXPECT_FALSE(load("c.csv"));
    ASSERT_EQ(person.messages.size(), 2u);
    EXPECT_EQ(person.messages[1].text, "1 行目: 列 12 がありません。(10001)\n" + dir.file("c.csv"));
    EXPECT_EQ(staged().size(), 0u);
}

TEST_F(PositionLoaderTest, EmptyValuesAndEmptyLinesFail) {
    csv("a.csv", {"東京都,港区,芝,1,\"  \",1,2,3,4,5,1,0"});
    EXPECT_FALSE(load("a.csv"));
    csv("b.csv", {kLine, ""});
    EXPECT_FALSE(load("b.csv"));
    ASSERT_EQ(person.messages.size(), 2u);
    EXPECT_EQ(person.messages[0].text, "1 行目: 列 4 の値が空です。(10002)\n" + dir.file("a.csv"));
    EXPECT_EQ(person.messages[1].text, "2 行目: 列 0 がありません。(10001)\n" + dir.file("b.csv"));
}

TEST_F(PositionLoaderTest, QuotedCommaSplitsTheValue) {
    // "芝,公園" becomes two columns, shifting every later one.
    csv("a.csv", {"東京都,港区,\"芝,公園\",1,9,1,2,3,4,5,1,0"});
    ASSERT_TRUE(load("a.csv")) << person.allMessages();
    auto rows = staged();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][3], "芝");
    EXPECT_EQ(rows[0][4], "公園");
    EXPECT_EQ(rows[0][12], "1");
}

TEST_F(PositionLoaderTest, InvalidBytesFailNamingTheLine) {
    dir.write("a.csv", sjis(kLine) + "\r\n" + std::string("\x81\x20", 2) + "\r\n");
    EXPECT_FALSE(load("a.csv"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text.rfind("2 行目", 0), 0u);
    EXPECT_NE(person.messages[0].text.find("(10005)\n" + dir.file("a.csv")), std::string::npos);
}

TEST_F(PositionLoaderTest, NamesWithQuotesAndUtf8FilesLoad) {
    dir.write("13101.csv", "東京都,千代田区,O'Hare町,1,9,1,2,3,4,5,1,0\n");
    ASSERT_TRUE(load("13101.csv")) << person.allMessages();
    EXPECT_EQ(staged()[0][3], "O'Hare町");
}

TEST_F(PositionLoaderTest, PrefectureListKeepsLoadOrderWithoutRepeats) {
    csv("13101.csv", {kLine});
    csv("13102.csv", {kLine});
    csv("14101.csv", {"神奈川県,横浜市,a,1,9,1,2,3,4,5,1,0"});
    csv("00000.csv", {});
    ASSERT_TRUE(load("13101.csv"));
    ASSERT_TRUE(load("14101.csv"));
    ASSERT_TRUE(load("13102.csv"));
    // A file without data lines registers its source and records an empty name.
    ASSERT_TRUE(load("00000.csv"));
    EXPECT_EQ(prefs, (std::vector<std::string>{"東京都", "神奈川県", ""}));
    EXPECT_EQ(count("SELECT count(*) FROM POSITION管理"), 4);
}

TEST_F(PositionLoaderTest, PrefectureListLimitIsAnError) {
    csv("13101.csv", {kLine});
    for (int i = 0; i < 1000; ++i)
        prefs.push_back("p" + std::to_string(i));
    EXPECT_FALSE(load("13101.csv"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("(10004)"), std::string::npos);
    EXPECT_EQ(prefs.size(), 1000u);
}

TEST_F(PositionLoaderTest, AMissingFileIsSkippedOrFailsAsTheRequestSaysAndWritesNothing) {
    skipMissing = true;
    EXPECT_TRUE(load("gone.csv"));
    EXPECT_TRUE(person.messages.empty());
    skipMissing = false;
    EXPECT_FALSE(load("gone.csv"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("\n" + dir.file("gone.csv")), std::string::npos)
        << person.messages[0].text;
    EXPECT_TRUE(person.questions.empty());
    EXPECT_EQ(count("SELECT count(*) FROM POSITION管理"), 0);
    EXPECT_TRUE(prefs.empty());
}

TEST_F(PositionLoaderTest, StopEndsTheLoadAfterTheLineInProgress) {
    std::vector<std::string> lines(50, kLine);
    csv("13101.csv", lines);
    // Report 1 is the step; the first line always reports (2), and a Stop
    // pressed there still saves that line. Only the file's final count follows.
    person.onReport = [&](int n) {
        if (n == 2)
            stop.requestStop();
    };
    EXPECT_FALSE(load("13101.csv"));
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(staged().size(), 1u);
    EXPECT_EQ(person.reports.size(), 3u);
    EXPECT_EQ(prefs, (std::vector<std::string>{"東京都"}));
}

TEST_F(PositionLoaderTest, LongFilesKeepEveryLineInOrderUpToAFault) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 250; ++i)
        lines.push_back("東京都,港区,芝,b" + std::to_string(i) + ",9,1,2,3,4,5,1,0");
    csv("a.csv", lines);
    ASSERT_TRUE(load("a.csv")) << person.allMessages();
    auto rows = staged();
    ASSERT_EQ(rows.size(), 250u);
    for (int i = 0; i < 250; ++i)
        ASSERT_EQ(rows[static_cast<std::size_t>(i)][4], "b" + std::to_string(i + 1));

    // A fault on line 150: the 149 lines before it are staged, nothing after.
    createStagingTable(db);
    lines[149] = "東京都,港区";
    csv("b.csv", lines);
    EXPECT_FALSE(load("b.csv"));
    rows = staged();
    ASSERT_EQ(rows.size(), 149u);
    EXPECT_EQ(rows.back()[4], "b149");
}

// A coordinate that is no finite decimal number in its range stops the load with
// the file, line and column.
TEST_F(PositionLoaderTest, CoordinatesOutsideTheirRangeOrNoNumbersStopTheLoad) {
    const std::string head = "東京都,千代田区,町,1,9,";
    // X, Y, latitude, longitude (columns 5 to 8): one faulty value each.
    const std::vector<std::pair<std::string, std::string>> faulty = {
        {"NaN,2,35,139", "列 5"},        {"1,1e999,35,139", "列 6"},
        {"1,2,0x1p5,139", "列 7"},       {"1,2,35,x", "列 8"},
        {"1,2,95,139", "列 7"},          {"1,2,35,400", "列 8"},
        {"10000000.1,2,35,139", "列 5"}, {"1,2,ﾄｳｷｮｳ,139", "列 7"},
        {"1,2,35,inf", "列 8"},          {"1,2,35,139.0.1", "列 8"},
    };
    for (const auto& [values, column] : faulty) {
        SCOPED_TRACE(values);
        csv("bad.csv", {kLine, head + values + ",,0,1"});
        const std::size_t before = person.allMessages().size();
        EXPECT_FALSE(load("bad.csv"));
        const std::string told = person.allMessages().substr(before);
        EXPECT_NE(told.find("2 行目: " + column), std::string::npos) << told;
        EXPECT_NE(told.find("bad.csv"), std::string::npos) << told;
    }
    csv("edges.csv",
        {head + "-10000000,+10000000,-90,180.000,,0,1", head + "0.5,-.5,90.0,-180,,0,1"});
    EXPECT_TRUE(load("edges.csv")) << person.allMessages();
}

TEST_F(PositionLoaderTest, ARegistryDatasetNoPositionPlacesIsRefusedNamingItsPositionFile) {
    dir.write("mt_town_x.csv",
              "lg_code,machiaza_id,oaza_cho,chome,koaza,ablt_date\n131059,0001001,白山,,,\n");
    dir.write(
        "mt_town_pos_x.csv",
        "lg_code,machiaza_id,rep_lat,rep_lon,rep_srid\n131059,0009009,35.7,139.7,EPSG:6668\n");
    // The _pos file alone has no rows of its own, and is no fault.
    EXPECT_TRUE(load("mt_town_pos_x.csv"));
    EXPECT_TRUE(person.messages.empty());
    EXPECT_FALSE(load("mt_town_x.csv"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("対応する行が一つもありません。\n" +
                                           dir.file("mt_town_pos_x.csv")),
              std::string::npos)
        << person.messages[0].text;
}
