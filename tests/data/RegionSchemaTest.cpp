#include <gtest/gtest.h>

#include <algorithm>

#include "base/Error.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::TempDir;

namespace {

std::string emptyDb(const TempDir& dir) {
    std::string path = dir.file("region_$$$.mdb");
    Database::open(path, Database::Mode::Create);
    return path;
}

// Column names and declared types in table order.
std::vector<std::string> columns(Database& db, const std::string& table) {
    std::vector<std::string> out;
    Statement st = db.prepare("SELECT name, type, pk FROM pragma_table_info(?1) ORDER BY cid");
    st.bind(1, table);
    while (st.step())
        out.push_back(st.text(0) + ":" + st.text(1) + (st.int64(2) ? ":pk" : ""));
    return out;
}

// Index columns in order, and whether the index is unique.
std::string indexOf(Database& db, const std::string& index) {
    std::string out;
    Statement st = db.prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
    st.bind(1, index);
    while (st.step()) {
        if (!out.empty())
            out += ",";
        out += st.text(0);
    }
    Statement u = db.prepare("SELECT \"unique\" FROM pragma_index_list(?1) WHERE name = ?2");
    Statement t = db.prepare("SELECT tbl_name FROM sqlite_schema WHERE name = ?1");
    t.bind(1, index);
    if (t.step()) {
        u.bind(1, t.text(0)).bind(2, index);
        if (u.step() && u.int64(0))
            out += " UNIQUE";
    }
    return out;
}

std::vector<std::string> tables(Database& db) {
    std::vector<std::string> out;
    Statement st = db.prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name <> 'sqlite_sequence' "
        "ORDER BY name");
    while (st.step())
        out.push_back(st.text(0));
    return out;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(RegionSchema, CreatesThePositionTablesWithExactNamesOrderAndPlainIndexes) {
    TempDir dir;
    std::string path = emptyDb(dir);
    ASSERT_NO_THROW(createPositionTables(path));
    ASSERT_NO_THROW(createStagingTable(path));
    ASSERT_NO_THROW(createTownTable(path, "POSITION_0001"));

    Database db = Database::open(path);
    EXPECT_EQ(columns(db, "POSITION"),
              (Strings{"fldID:INTEGER:pk", "fld市区町村コード:TEXT", "fld都道府県名:TEXT",
                       "fld市区町村名:TEXT", "fld大字・町丁目:TEXT", "fldSrcID:INTEGER",
                       "fldTableName:TEXT"}));
    EXPECT_EQ(columns(db, "POSITION管理"),
              (Strings{"fldID:INTEGER:pk", "fldSrcFile:TEXT", "fldSrcDir:TEXT", "fldDate:TEXT"}));
    EXPECT_EQ(columns(db, "POSITION_TMP"),
              (Strings{"fldID:INTEGER:pk", "fld市区町村コード:TEXT", "fld都道府県名:TEXT",
                       "fld市区町村名:TEXT", "fld大字・町丁目:TEXT", "fld街区・番地:TEXT",
                       "fld座標系番号:TEXT", "fldＸ座標:TEXT", "fldＹ座標:TEXT", "fld緯度:TEXT",
                       "fld経度:TEXT", "fldメッシュコード:TEXT", "fld住居表示フラグ:TEXT",
                       "fld代表フラグ:TEXT", "fldPositionID:INTEGER", "fldSrcID:INTEGER",
                       "fldSrcDir:TEXT", "fldSrcFile:TEXT"}));
    EXPECT_EQ(columns(db, "POSITION_0001"),
              (Strings{"fldID:INTEGER:pk", "fldPositionID:INTEGER", "fld街区・番地:TEXT",
                       "fld座標系番号:TEXT", "fldＸ座標:TEXT", "fldＹ座標:TEXT", "fld緯度:TEXT",
                       "fld経度:TEXT", "fldメッシュコード:TEXT", "fld住居表示フラグ:TEXT",
                       "fld代表フラグ:TEXT"}));
    EXPECT_EQ(indexOf(db, "IdxPosition_all"), "fldID,fld都道府県名,fld市区町村名,fld大字・町丁目");
    EXPECT_EQ(indexOf(db, "IdxPosition_tmp"),
              "fldID,fld都道府県名,fld市区町村名,fld大字・町丁目,fld街区・番地");
    EXPECT_EQ(indexOf(db, "IdxPOSITION_0001"), "fldID,fldPositionID,fld街区・番地");
}

TEST(RegionSchema, TextRefusesEmptyButTakesNullAndNamesWithQuotes) {
    TempDir dir;
    std::string path = emptyDb(dir);
    ASSERT_NO_THROW(createPositionTables(path));
    Database db = Database::open(path);
    db.exec("INSERT INTO POSITION (fld都道府県名, fld大字・町丁目) VALUES ('O''Hare', NULL)");
    try {
        db.exec("INSERT INTO POSITION (fld都道府県名) VALUES ('')");
        FAIL() << "an empty text was stored";
    } catch (const Error& e) {
        EXPECT_EQ(e.number() & 0xff, 19);  // constraint
    }
    // Auto-numbers keep rising even after the last row is deleted.
    db.exec("DELETE FROM POSITION");
    db.exec("INSERT INTO POSITION (fld都道府県名) VALUES ('x')");
    EXPECT_EQ(db.lastInsertRowid(), 2);
}

TEST(RegionSchema, RecreatingDropsNamedTownTablesButLeavesOtherTables) {
    TempDir dir;
    std::string path = emptyDb(dir);
    ASSERT_NO_THROW(createPositionTables(path));
    ASSERT_NO_THROW(createStagingTable(path));
    {
        Database db = Database::open(path);
        db.exec("CREATE TABLE POST (fldPostal TEXT)");
        for (int i = 1; i <= 7; ++i) {
            createTownTableIn(db, townTableName(i));
            db.exec("INSERT INTO POSITION (fld都道府県名, fldTableName) VALUES ('東京都', '" +
                    townTableName(i) + "')");
        }
        db.exec("INSERT INTO POSITION (fld都道府県名, fldTableName) VALUES ('東京都', NULL)");
        // A per-town table that no POSITION row names is not the schema's to drop.
        createTownTableIn(db, "POSITION_0099");
    }
    ASSERT_NO_THROW(createPositionTables(path));
    Database db = Database::open(path);
    EXPECT_EQ(tables(db), (Strings{"POSITION", "POSITION_0099", "POSITION管理", "POST"}));
    EXPECT_FALSE(db.prepare("SELECT 1 FROM POSITION").step());
}

TEST(RegionSchema, DropPositionTablesFailsSilentlyWithoutPosition) {
    TempDir dir;
    std::string path = emptyDb(dir);
    EXPECT_FALSE(dropPositionTables(path));
    EXPECT_FALSE(dropPositionTables(dir.file("missing.mdb")));
}

TEST(RegionSchema, StagingTableNeedsAnExistingFileAndMakesNone) {
    TempDir dir;
    try {
        createStagingTable(dir.file("missing.mdb"));
        ADD_FAILURE() << "made a staging table without a file";
    } catch (const Error& e) {
        EXPECT_EQ(e.context(), dir.file("missing.mdb"));
    }
    EXPECT_FALSE(fileExists(dir.file("missing.mdb")));
    // Made twice, the second one replaces the first.
    std::string path = emptyDb(dir);
    ASSERT_NO_THROW(createStagingTable(path));
    Database::open(path).exec("INSERT INTO POSITION_TMP (fld都道府県名) VALUES ('x')");
    ASSERT_NO_THROW(createStagingTable(path));
    EXPECT_FALSE(Database::open(path).prepare("SELECT 1 FROM POSITION_TMP").step());
}

TEST(RegionSchema, ATakenTownTableNameFailsNamingThePath) {
    TempDir dir;
    std::string path = emptyDb(dir);
    ASSERT_NO_THROW(createTownTable(path, "POSITION_0001"));
    try {
        createTownTable(path, "POSITION_0001");
        ADD_FAILURE() << "made a taken table";
    } catch (const Error& e) {
        const std::string text = standardErrorText(e);
        EXPECT_NE(text.find("already exists"), std::string::npos) << text;
        EXPECT_NE(text.find("(1)\n" + path), std::string::npos) << text;
    }
}

TEST(RegionSchema, TownTableNamesHaveFourDigits) {
    EXPECT_EQ(townTableName(1), "POSITION_0001");
    EXPECT_EQ(townTableName(123), "POSITION_0123");
    EXPECT_EQ(townTableName(9999), "POSITION_9999");
}

// The name test of the code and the GLOB of the queries over sqlite_schema must
// pick the same tables, or an update would miss a table another part drops.
TEST(RegionSchema, CodeAndDatabaseAgreeOnWhichTablesAreTownTables) {
    TempDir d;
    Database db = Database::open(emptyDb(d));
    const Strings candidates = {"POSITION_0001",  "POSITION_9999", "POSITION_001",
                                "POSITION_00001", "POSITION_00a1", "position_0002",
                                "POSITION_TMP",   "POSITION",      "XPOSITION_0003"};
    Strings byName;
    for (const std::string& name : candidates) {
        db.exec("CREATE TABLE " + quoteIdentifier(name) + " (x)");
        if (isTownTableName(name))
            byName.push_back(name);
    }
    Statement st = db.prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name GLOB ?1 ORDER BY name");
    st.bind(1, townTableGlob());
    Strings byGlob;
    while (st.step())
        byGlob.push_back(st.text(0));
    std::sort(byName.begin(), byName.end());
    EXPECT_EQ(byName, (Strings{"POSITION_0001", "POSITION_9999"}));
    EXPECT_EQ(byGlob, byName);
}
