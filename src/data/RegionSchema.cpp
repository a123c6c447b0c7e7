#include "data/RegionSchema.h"

#include <cerrno>

#include <exception>
#include <vector>

#include "app/Error.h"
#include "app/Paths.h"
#include "data/Database.h"
#include "data/LaterIndexes.h"

namespace mrk2 {

namespace {

// Column kinds of the position tables. Text refuses "" so that an absent value
// can only be NULL; date-times are local "YYYY-MM-DD HH:MM:SS" text.
enum class Kind { AutoNumber, Integer, Text, DateTime };

struct Column {
    const char* name;
    Kind kind;
};

std::string columnDefinition(const Column& c) {
    std::string q = quoteIdentifier(c.name);
    switch (c.kind) {
        case Kind::AutoNumber:
            return q + " INTEGER PRIMARY KEY AUTOINCREMENT";
        case Kind::Integer:
            return q + " INTEGER";
        case Kind::Text:
        case Kind::DateTime:
            return q + " TEXT CHECK(" + q + " <> '')";
    }
    return q;
}

void createTable(Database& db, const std::string& table, const std::vector<Column>& columns) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i)
            sql += ", ";
        sql += columnDefinition(columns[i]);
    }
    db.exec(sql + ")");
}

// Plain index: not unique, ascending, NULLs allowed.
void createIndex(Database& db, const std::string& index, const std::string& table,
                 const std::vector<const char*>& columns, LaterIndexes* later = nullptr) {
    std::string sql =
        "CREATE INDEX " + quoteIdentifier(index) + " ON " + quoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i)
            sql += ", ";
        sql += quoteIdentifier(columns[i]);
    }
    createIndexNowOrLater(db, sql + ")", later);
}

const std::vector<Column> kPositionColumns = {
    {"fldID", Kind::AutoNumber},   {"fld市区町村コード", Kind::Text}, {"fld都道府県名", Kind::Text},
    {"fld市区町村名", Kind::Text}, {"fld大字・町丁目", Kind::Text},   {"fldSrcID", Kind::Integer},
    {"fldTableName", Kind::Text},
};

const std::vector<Column> kSourceColumns = {
    {"fldID", Kind::AutoNumber},
    {"fldSrcFile", Kind::Text},
    {"fldSrcDir", Kind::Text},
    {"fldDate", Kind::DateTime},
};

const std::vector<Column> kStagingColumns = {
    {"fldID", Kind::AutoNumber},       {"fld市区町村コード", Kind::Text},
    {"fld都道府県名", Kind::Text},     {"fld市区町村名", Kind::Text},
    {"fld大字・町丁目", Kind::Text},   {"fld街区・番地", Kind::Text},
    {"fld座標系番号", Kind::Text},     {"fldＸ座標", Kind::Text},
    {"fldＹ座標", Kind::Text},         {"fld緯度", Kind::Text},
    {"fld経度", Kind::Text},           {"fldメッシュコード", Kind::Text},
    {"fld住居表示フラグ", Kind::Text}, {"fld代表フラグ", Kind::Text},
    {"fldPositionID", Kind::Integer},  {"fldSrcID", Kind::Integer},
    {"fldSrcDir", Kind::Text},         {"fldSrcFile", Kind::Text},
};

const std::vector<Column> kTownColumns = {
    {"fldID", Kind::AutoNumber},       {"fldPositionID", Kind::Integer},
    {"fld街区・番地", Kind::Text},     {"fld座標系番号", Kind::Text},
    {"fldＸ座標", Kind::Text},         {"fldＹ座標", Kind::Text},
    {"fld緯度", Kind::Text},           {"fld経度", Kind::Text},
    {"fldメッシュコード", Kind::Text}, {"fld住居表示フラグ", Kind::Text},
    {"fld代表フラグ", Kind::Text},
};

}  // namespace

std::string townTableName(int number) {
    std::string digits = "000000" + std::to_string(number);
    return "POSITION_" + digits.substr(digits.size() - 4);
}

bool dropPositionTables(const std::string& dbPath) {
    try {
        Database db = Database::open(dbPath);
        std::vector<std::string> names;
        {
            Statement st = db.prepare("select distinct fldTableName from POSITION");
            while (st.step()) {
                if (!st.isNull(0))
                    names.push_back(st.text(0));
            }
        }
        for (const auto& name : names)
            dropTable(db, name);
        dropTable(db, "POSITION");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void createPositionTables(const std::string& dbPath, LaterIndexes* later) {
    dropPositionTables(dbPath);
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        dropTable(db, "POSITION");
        dropTable(db, "POSITION_TMP");
        dropTable(db, "POSITION管理");
        createTable(db, "POSITION", kPositionColumns);
        createIndex(db, "IdxPosition_all", "POSITION",
                    {"fldID", "fld都道府県名", "fld市区町村名", "fld大字・町丁目"}, later);
        createTable(db, "POSITION管理", kSourceColumns);
    });
}

void createStagingTable(const std::string& dbPath) {
    inContext(dbPath, [&] {
        // Opening would create a missing file; the run's work file must be there.
        if (!fileExists(dbPath))
            throw fileError(ENOENT);
        Database db = Database::open(dbPath);
        // The staging table only ever lives in an import run's work file, which is
        // thrown away on any failure: a disk sync per file loaded would buy nothing.
        db.useFastUnsafePragmas();
        createStagingTableIn(db);
    });
}

void createStagingTableIn(Database& db) {
    dropTable(db, "POSITION_TMP");
    createTable(db, "POSITION_TMP", kStagingColumns);
    createIndex(db, "IdxPosition_tmp", "POSITION_TMP",
                {"fldID", "fld都道府県名", "fld市区町村名", "fld大字・町丁目", "fld街区・番地"});
}

void createTownTableIn(Database& db, const std::string& tableName, LaterIndexes* later) {
    createTable(db, tableName, kTownColumns);
    createIndex(db, "Idx" + tableName, tableName, {"fldID", "fldPositionID", "fld街区・番地"},
                later);
}

void createTownTable(const std::string& dbPath, const std::string& tableName) {
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        createTownTableIn(db, tableName);
    });
}

}  // namespace mrk2
