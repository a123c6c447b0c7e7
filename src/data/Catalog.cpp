#include "data/Catalog.h"

#include <cerrno>
#include <exception>
#include <mutex>
#include <new>

#include "base/Error.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/SchemaNames.h"

namespace mrk2 {

namespace {

const char* const kPrefTable = tables::kPrefectures;
const char* const kSourceTable = tables::kSources;

void requireTable(Database& db, const std::string& table) {
    if (!db.tableExists(table)) {
        throw Error(FormatError::NotFound, "テーブル " + table + " がありません。");
    }
}

// A name field that is Null cannot stand for a name; the row is refused.
std::string requiredText(const Statement& st, int col, const std::string& table,
                         const std::string& field, std::size_t rowNumber) {
    if (st.isNull(col)) {
        throw Error(FormatError::EmptyValue, "テーブル " + table + " の " +
                                                 std::to_string(rowNumber) + " 行目の " + field +
                                                 " が Null です。");
    }
    return st.text(col);
}

Error tooMany(const std::string& table, std::size_t limit) {
    return Error(FormatError::TooManyEntries, "テーブル " + table + " の行が " +
                                                  std::to_string(limit) +
                                                  " を超えています。これより多くは扱えません。");
}

// The half-width reading of a prefecture suffix; "道" is read as part of the name.
std::string suffixReading(const std::optional<std::string>& type) {
    if (type == "都")
        return "ﾄ";
    if (type == "道")
        return "";
    if (type == "府")
        return "ﾌ";
    return "ｹﾝ";
}

}  // namespace

std::vector<Prefecture> loadPrefNames(const std::string& baseDbPath) {
    return inContext(baseDbPath, [&] {
        std::vector<Prefecture> prefs;
        Database db = Database::open(baseDbPath, Database::Mode::ReadOnly);
        requireTable(db, kPrefTable);
        Statement st = db.prepare(
            "SELECT " + columnList({fields::kKanjiName, fields::kKatakanaName, fields::kPrefType}) +
            " FROM " + quoteIdentifier(kPrefTable) + " ORDER BY rowid");
        while (st.step()) {
            std::size_t n = prefs.size() + 1;
            if (n > kMaxPrefectures)
                throw tooMany(kPrefTable, kMaxPrefectures);
            Prefecture p;
            p.kanji = requiredText(st, 0, kPrefTable, fields::kKanjiName, n);
            p.kana = requiredText(st, 1, kPrefTable, fields::kKatakanaName, n);
            std::optional<std::string> type = st.optionalText(2);
            if (type)
                p.kanji += *type;
            p.kanaSuffix = suffixReading(type);
            prefs.push_back(p);
        }
        if (prefs.empty()) {
            throw Error(FormatError::NotFound,
                        "テーブル " + std::string(kPrefTable) + " に都道府県が1件もありません。");
        }
        return prefs;
    });
}

std::vector<std::string> loadDbList(const std::string& baseDbPath) {
    return inContext(baseDbPath, [&] {
        std::vector<std::string> names;
        Database db = Database::open(baseDbPath, Database::Mode::ReadOnly);
        requireTable(db, kCatalogTable);
        Statement st = db.prepare("SELECT " + quoteIdentifier(fields::kDbName) + " FROM " +
                                  quoteIdentifier(kCatalogTable) + " ORDER BY rowid");
        while (st.step())
            names.push_back(requiredText(st, 0, kCatalogTable, fields::kDbName, names.size() + 1));
        return names;
    });
}

RecordedSources readSourceFiles(const std::string& dbPath) {
    return inContext(dbPath, [&] {
        RecordedSources out;
        Database db = Database::open(dbPath, Database::Mode::ReadOnly);
        requireTable(db, kSourceTable);
        Statement st =
            db.prepare("SELECT " + columnList({fields::kSrcFile, fields::kSrcDir, fields::kDate}) +
                       " FROM " + quoteIdentifier(kSourceTable) + " ORDER BY rowid");
        while (st.step()) {
            std::size_t n = out.files.size() + 1;
            if (n > kMaxSourceFiles)
                throw tooMany(kSourceTable, kMaxSourceFiles);
            SourceFile f;
            f.file = requiredText(st, 0, kSourceTable, fields::kSrcFile, n);
            f.dir = requiredText(st, 1, kSourceTable, fields::kSrcDir, n);
            out.files.push_back(f);
            out.dates.push_back(st.optionalText(2));
        }
        return out;
    });
}

void registerDbInCatalog(const std::string& baseDbPath, const std::string& dbDir,
                         const std::string& regionName) {
    // Runs of one process that end together write the catalog one after the
    // other: two write transactions on the base database would make the second
    // fail as busy instead of waiting its turn.
    static std::mutex catalogWrites;
    std::lock_guard<std::mutex> turn(catalogWrites);
    inContext(regionName, [&] {
        Database db = Database::open(baseDbPath);
        requireTable(db, kCatalogTable);
        const std::string table = quoteIdentifier(kCatalogTable);
        const std::string nameColumn = quoteIdentifier(fields::kDbName);
        const std::string dirColumn = quoteIdentifier(fields::kDbDir);
        Transaction tx(db);
        Statement find = db.prepare("SELECT rowid, " + dirColumn + " FROM " + table + " WHERE " +
                                    nameColumn + " = ?1 COLLATE BINARY ORDER BY rowid LIMIT 1");
        find.bind(1, regionName);
        if (find.step()) {
            std::int64_t rowid = find.int64(0);
            std::optional<std::string> dir = find.optionalText(1);
            find.reset();
            // A row without a directory is brought up to date as well.
            if (dir != dbDir) {
                Statement update =
                    db.prepare("UPDATE " + table + " SET " + dirColumn + " = ?1 WHERE rowid = ?2");
                update.bind(1, dbDir).bind(2, rowid).run();
            }
        } else {
            find.reset();
            Statement insert = db.prepare("INSERT INTO " + table + " (" + nameColumn + ", " +
                                          dirColumn + ") VALUES (?1, ?2)");
            insert.bind(1, regionName).bind(2, dbDir).run();
        }
        tx.commit();
    });
}

std::vector<CatalogRow> readCatalog(const std::string& baseDbPath) {
    Database db = Database::open(baseDbPath, Database::Mode::ReadOnly);
    requireTable(db, kCatalogTable);
    Statement st =
        db.prepare("SELECT " + columnList({fields::kId, fields::kDbName, fields::kDbDir}) +
                   " FROM " + quoteIdentifier(kCatalogTable) + " ORDER BY rowid");
    std::vector<CatalogRow> rows;
    while (st.step())
        rows.push_back(CatalogRow{st.int64(0), st.optionalText(1), st.optionalText(2)});
    return rows;
}

}  // namespace mrk2
