#include "data/RegionSchema.h"

#include <cerrno>

#include <exception>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/LaterIndexes.h"
#include "data/SchemaNames.h"

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
    {fields::kId, Kind::AutoNumber},  {fields::kMunicipalityCode, Kind::Text},
    {fields::kPrefName, Kind::Text},  {fields::kMunicipalityName, Kind::Text},
    {fields::kTownName, Kind::Text},  {fields::kSrcId, Kind::Integer},
    {fields::kTableName, Kind::Text},
};

const std::vector<Column> kSourceColumns = {
    {fields::kId, Kind::AutoNumber},
    {fields::kSrcFile, Kind::Text},
    {fields::kSrcDir, Kind::Text},
    {fields::kDate, Kind::DateTime},
};

// The staging table holds a whole line: its town, its block and its file.
std::vector<Column> stagingColumns() {
    std::vector<Column> columns = {{fields::kId, Kind::AutoNumber},
                                   {fields::kMunicipalityCode, Kind::Text},
                                   {fields::kPrefName, Kind::Text},
                                   {fields::kMunicipalityName, Kind::Text},
                                   {fields::kTownName, Kind::Text}};
    for (const char* name : fields::kBlockRow) {
        if (std::string_view(name) != fields::kPositionId)
            columns.push_back({name, Kind::Text});
    }
    columns.push_back({fields::kPositionId, Kind::Integer});
    columns.push_back({fields::kSrcId, Kind::Integer});
    columns.push_back({fields::kSrcDir, Kind::Text});
    columns.push_back({fields::kSrcFile, Kind::Text});
    return columns;
}

std::vector<Column> townColumns() {
    std::vector<Column> columns = {{fields::kId, Kind::AutoNumber}};
    for (const char* name : fields::kBlockRow)
        columns.push_back(
            {name, std::string_view(name) == fields::kPositionId ? Kind::Integer : Kind::Text});
    return columns;
}

const std::vector<Column> kStagingColumns = stagingColumns();
const std::vector<Column> kTownColumns = townColumns();

}  // namespace

std::string townTableName(int number) {
    std::string digits = "000000" + std::to_string(number);
    return tables::kTownTablePrefix + digits.substr(digits.size() - 4);
}

bool isTownTableName(std::string_view name) {
    constexpr std::string_view prefix = tables::kTownTablePrefix;
    return name.size() == prefix.size() + 4 && name.substr(0, prefix.size()) == prefix &&
           name.substr(prefix.size()).find_first_not_of("0123456789") == std::string_view::npos;
}

const std::string& townTableGlob() {
    static const std::string glob = tables::kTownTablePrefix + std::string("[0-9][0-9][0-9][0-9]");
    return glob;
}

bool dropPositionTables(const std::string& dbPath) {
    try {
        Database db = Database::open(dbPath);
        std::vector<std::string> names;
        {
            Statement st = db.prepare("SELECT DISTINCT " + quoteIdentifier(fields::kTableName) +
                                      " FROM " + quoteIdentifier(tables::kPosition));
            while (st.step()) {
                if (!st.isNull(0))
                    names.push_back(st.text(0));
            }
        }
        for (const auto& name : names)
            dropTable(db, name);
        dropTable(db, tables::kPosition);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void createPositionTables(const std::string& dbPath, LaterIndexes* later) {
    dropPositionTables(dbPath);
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        dropTable(db, tables::kPosition);
        dropTable(db, tables::kStaging);
        dropTable(db, tables::kSources);
        createTable(db, tables::kPosition, kPositionColumns);
        createIndex(db, "IdxPosition_all", tables::kPosition,
                    {fields::kId, fields::kPrefName, fields::kMunicipalityName, fields::kTownName},
                    later);
        createTable(db, tables::kSources, kSourceColumns);
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
    dropTable(db, tables::kStaging);
    createTable(db, tables::kStaging, kStagingColumns);
    createIndex(db, "IdxPosition_tmp", tables::kStaging,
                {fields::kId, fields::kPrefName, fields::kMunicipalityName, fields::kTownName,
                 fields::kBlock});
}

void createTownTableIn(Database& db, const std::string& tableName, LaterIndexes* later) {
    createTable(db, tableName, kTownColumns);
    createIndex(db, "Idx" + tableName, tableName,
                {fields::kId, fields::kPositionId, fields::kBlock}, later);
}

void createTownTable(const std::string& dbPath, const std::string& tableName) {
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        createTownTableIn(db, tableName);
    });
}

}  // namespace mrk2
