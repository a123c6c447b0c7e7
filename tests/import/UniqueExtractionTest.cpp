#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "import/UniqueExtraction.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::RecordingPerson;
using mrk2::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

class UniqueExtractionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db = dir.file("region_$$$.mdb");
        Database::open(db, Database::Mode::Create);
        createPositionTables(db);
        createTownTable(db, "POSITION_0001");
        cursor.tableNumber = 1;
        cursor.tableName = "POSITION_0001";
    }

    // A new file: a source row and a fresh staging table.
    void newFile(const std::string& file) {
        createStagingTable(db);
        Database d = Database::open(db);
        Statement st =
            d.prepare("INSERT INTO POSITION管理 (fldSrcFile, fldSrcDir) VALUES (?1, 'd')");
        st.bind(1, file).run();
        srcId = d.lastInsertRowid();
        srcFile = file;
    }

    void stage(const std::string& pref, const std::string& muni,
               const std::optional<std::string>& town, int rows) {
        Database d = Database::open(db);
        Transaction tx(d);
        Statement st = d.prepare(
            "INSERT INTO POSITION_TMP (fld市区町村コード, fld都道府県名, fld市区町村名, "
            "fld大字・町丁目, fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, "
            "fld経度, "
            "fldメッシュコード, fld住居表示フラグ, fld代表フラグ, fldSrcID, fldSrcDir, fldSrcFile) "
            "VALUES ('13101', ?1, ?2, ?3, ?4, '9', 'x', 'y', 'lat', 'lon', ?5, '1', '0', ?6, 'd', "
            "?7)");
        for (int i = 1; i <= rows; ++i) {
            st.bind(1, pref).bind(2, muni).bind(3, town).bind(4, std::to_string(i));
            if (i % 2)
                st.bind(5, "5339");
            else
                st.bindNull(5);
            st.bind(6, srcId).bind(7, srcFile).run();
        }
        tx.commit();
    }

    // Extracts as the run does, and tells a failure as the run would. False when
    // it failed or was stopped.
    bool extract() {
        RunProgress progress(person, stop);
        try {
            getUniqueTable(db, minRecs, cursor, progress);
        } catch (const std::exception& e) {
            reportError(person, e);
            return false;
        }
        return !stop.stopRequested();
    }

    // "town=table" for every POSITION row in id order (NULL shown as -).
    Strings towns() {
        Database d = Database::open(db);
        Statement st = d.prepare(
            "SELECT fld大字・町丁目, fldTableName, fld市区町村コード, fldSrcID FROM POSITION "
            "ORDER BY fldID");
        Strings out;
        while (st.step()) {
            out.push_back(st.optionalText(0).value_or("-") + "=" +
                          st.optionalText(1).value_or("-"));
            EXPECT_EQ(st.text(2), "13101");
        }
        return out;
    }

    // Rows per town in one per-town table: "town:count".
    Strings content(const std::string& table) {
        Database d = Database::open(db);
        Statement st =
            d.prepare("SELECT p.fld大字・町丁目, count(*) FROM \"" + table +
                      "\" t JOIN POSITION p ON p.fldID = t.fldPositionID GROUP BY t.fldPositionID "
                      "ORDER BY min(t.fldID)");
        Strings out;
        while (st.step())
            out.push_back(st.optionalText(0).value_or("-") + ":" + st.text(1));
        return out;
    }

    bool stagingExists() { return Database::open(db).tableExists("POSITION_TMP"); }

    TempDir dir;
    std::string db;
    RecordingPerson person;
    StopControl stop;
    std::int32_t minRecs = 1000;  // MINRECS
    TownTableCursor cursor;
    std::int64_t srcId = 0;
    std::string srcFile;
};

}  // namespace

TEST_F(UniqueExtractionTest, NewTableBeginsOnlyAtATownBoundaryAfterMinRecs) {
    minRecs = 1000;
    newFile("13101.csv");
    stage("東京都", "千代田区", "Ａ町", 600);
    stage("東京都", "千代田区", "Ｂ町", 600);
    stage("東京都", "千代田区", "Ｃ町", 10);
    ASSERT_TRUE(extract()) << person.allMessages();
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(towns(), (Strings{"Ａ町=POSITION_0001", "Ｂ町=POSITION_0001", "Ｃ町=POSITION_0002"}));
    EXPECT_EQ(content("POSITION_0001"), (Strings{"Ａ町:600", "Ｂ町:600"}));
    EXPECT_EQ(content("POSITION_0002"), (Strings{"Ｃ町:10"}));
    EXPECT_EQ(cursor.tableNumber, 2);
    EXPECT_EQ(cursor.tableName, "POSITION_0002");
    EXPECT_EQ(cursor.tableRows, 10);
    EXPECT_FALSE(stagingExists());

    // Values are copied, NULL mesh codes stay NULL.
    Database d = Database::open(db);
    Statement st = d.prepare(
        "SELECT fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度, "
        "fldメッシュコード, fld住居表示フラグ, fld代表フラグ FROM POSITION_0002 ORDER BY fldID");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), "1");
    EXPECT_EQ(st.text(6), "5339");
    EXPECT_EQ(st.text(8), "0");
    ASSERT_TRUE(st.step());
    EXPECT_TRUE(st.isNull(6));
}

TEST_F(UniqueExtractionTest, MinRecsZeroGivesEveryTownItsOwnTableLeavingTheFirstEmpty) {
    minRecs = 0;
    newFile("13101.csv");
    stage("東京都", "港区", "芝", 3);
    stage("東京都", "港区", "麻布", 2);
    ASSERT_TRUE(extract()) << person.allMessages();
    EXPECT_TRUE(content("POSITION_0001").empty());
    EXPECT_EQ(content("POSITION_0002"), Strings{"芝:3"});
    EXPECT_EQ(content("POSITION_0003"), Strings{"麻布:2"});
}

TEST_F(UniqueExtractionTest, NullTownSortsFirstAndComparisonsAreExact) {
    newFile("13101.csv");
    stage("東京都", "港区", "b", 1);
    stage("東京都", "港区", "B", 1);
    stage("東京都", "港区", std::nullopt, 2);
    stage("東京都", "港区", "ｂ", 1);
    stage("東京都", "港区", "O'Hare", 1);
    ASSERT_TRUE(extract()) << person.allMessages();
    EXPECT_EQ(towns(), (Strings{"-=POSITION_0001", "B=POSITION_0001", "O'Hare=POSITION_0001",
                                "b=POSITION_0001", "ｂ=POSITION_0001"}));
    EXPECT_EQ(content("POSITION_0001"), (Strings{"-:2", "B:1", "O'Hare:1", "b:1", "ｂ:1"}));
}

TEST_F(UniqueExtractionTest, TableCarriesOverAndARepeatedTownGetsItsOwnRow) {
    minRecs = 2;
    newFile("13101_a.csv");
    stage("東京都", "港区", "芝", 2);
    stage("東京都", "港区", "麻布", 2);
    ASSERT_TRUE(extract());
    EXPECT_EQ(cursor.tableName, "POSITION_0002");

    // The next file starts in the table the previous one filled last.
    newFile("13101_b.csv");
    stage("東京都", "港区", "芝", 4);
    stage("東京都", "港区", "白金", 2);
    ASSERT_TRUE(extract()) << person.allMessages();
    // 芝 from the second file has a row of its own naming where its rows went;
    // the first file's 芝 row still names its own table.
    EXPECT_EQ(towns(), (Strings{"芝=POSITION_0001", "麻布=POSITION_0002", "白金=POSITION_0002",
                                "芝=POSITION_0003"}));
    EXPECT_EQ(content("POSITION_0001"), Strings{"芝:2"});
    EXPECT_EQ(content("POSITION_0002"), (Strings{"麻布:2", "白金:2"}));
    EXPECT_EQ(content("POSITION_0003"), Strings{"芝:4"});
    Database d = Database::open(db);
    Statement st = d.prepare("SELECT fldSrcID FROM POSITION ORDER BY fldID");
    Strings src;
    while (st.step())
        src.push_back(st.text(0));
    EXPECT_EQ(src, (Strings{"1", "1", "2", "2"}));
}

TEST_F(UniqueExtractionTest, TableLimitStopsWithItsMessage) {
    minRecs = 1;
    createTownTable(db, "POSITION_9999");
    cursor.tableNumber = 9999;
    cursor.tableName = "POSITION_9999";
    newFile("13101.csv");
    stage("東京都", "港区", "芝", 2);
    stage("東京都", "港区", "麻布", 1);
    EXPECT_FALSE(extract());
    EXPECT_EQ(person.allMessages(), "テーブル数が多過ぎます。(最大9999テーブル)");
    EXPECT_FALSE(stagingExists());
    EXPECT_EQ(content("POSITION_9999"), Strings{"芝:2"});
}

TEST_F(UniqueExtractionTest, FailedTableCreationIsTheOneFailureTold) {
    minRecs = 1;
    createTownTable(db, "POSITION_0002");  // taken already
    newFile("13101.csv");
    stage("東京都", "港区", "芝", 1);
    stage("東京都", "港区", "麻布", 1);
    EXPECT_FALSE(extract());
    // No table limit was reached: nothing more may be said about one.
    ASSERT_EQ(person.messages.size(), 1u) << person.allMessages();
    EXPECT_NE(person.messages[0].text.find("(1)\n" + db), std::string::npos)
        << person.messages[0].text;
}

TEST_F(UniqueExtractionTest, StopInTheFirstPassKeepsTownsButDistributesNothing) {
    newFile("13101.csv");
    stage("東京都", "港区", "芝", 2);
    stage("東京都", "港区", "麻布", 2);
    person.onReport = [&](int) { stop.requestStop(); };
    EXPECT_FALSE(extract());
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(towns(), Strings{"芝=-"});
    EXPECT_TRUE(content("POSITION_0001").empty());
    EXPECT_FALSE(stagingExists());
}

TEST_F(UniqueExtractionTest, ErrorsAreReportedWithTheDatabasePath) {
    // No staging table at all.
    EXPECT_FALSE(extract());
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("\n" + db), std::string::npos);
}

TEST_F(UniqueExtractionTest, NextTableNumberFollowsTheHighestNamedTable) {
    EXPECT_EQ(nextTableNumber(db), 1);
    {
        Database d = Database::open(db);
        for (int i = 12; i >= 1; --i) {
            d.exec("INSERT INTO POSITION (fld都道府県名, fldTableName) VALUES ('x', '" +
                   townTableName(i) + "')");
        }
        d.exec("INSERT INTO POSITION (fld都道府県名) VALUES ('x')");
    }
    EXPECT_EQ(nextTableNumber(db), 13);
    try {
        nextTableNumber(dir.file("missing.mdb"));
        ADD_FAILURE() << "numbered a missing database";
    } catch (const Error& e) {
        EXPECT_EQ(e.context(), dir.file("missing.mdb"));
    }
}

TEST_F(UniqueExtractionTest, AddTownTableCreatesAndMovesTheCursorOnlyWhenItSucceeds) {
    cursor.tableRows = 77;
    addTownTable(db, 123, cursor);
    EXPECT_EQ(cursor.tableName, "POSITION_0123");
    EXPECT_EQ(cursor.tableNumber, 123);
    EXPECT_EQ(cursor.tableRows, 0);
    EXPECT_TRUE(Database::open(db).tableExists("POSITION_0123"));

    cursor.tableRows = 5;
    try {
        addTownTable(db, 123, cursor);
        ADD_FAILURE() << "made a taken table";
    } catch (const Error& e) {
        EXPECT_EQ(e.context(), db);
    }
    EXPECT_EQ(cursor.tableRows, 5);
    EXPECT_THROW(addTownTable(db, 10000, cursor), Refusal);
    EXPECT_EQ(cursor.tableName, "POSITION_0123");
}
