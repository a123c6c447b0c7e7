#include "data/Catalog.h"

#include <cerrno>
#include <exception>
#include <new>

#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/Limits.h"
#include "app/Paths.h"
#include "data/Database.h"

namespace mrk2 {

namespace {

const char* const kCatalogTable = "ＤＢ一覧";
const char* const kPrefTable = "都道府県名";
const char* const kSourceTable = "POSITION管理";

void requireTable(Database& db, const std::string& table) {
    if (!db.tableExists(table)) {
        throw Error(FormatError::NotFound,
                    "テーブル " + table + " がありません。 [" + db.path() + "]");
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

bool openWorkspace(AppState& state) {
    state.workspaceOpen = true;
    return true;
}

void closeWorkspace(AppState& state) {
    state.workspaceOpen = false;
}

bool openBaseDb(AppState& state, Person& person) {
    if (state.blnBaseDbOpen)
        return true;
    try {
        state.strBaseDbPath = joinPath(state.strDbDir, "mrk2.mdb");
        state.dbBase = std::make_unique<Database>(Database::open(state.strBaseDbPath));
        state.blnBaseDbOpen = true;
        return true;
    } catch (const Error& e) {
        person.message(standardErrorText(e));
    }
    return false;
}

bool closeBaseDb(AppState& state, Person&) {
    if (state.blnBaseDbOpen && state.dbBase) {
        state.dbBase->close();
        state.dbBase.reset();
    }
    state.blnBaseDbOpen = false;
    return true;
}

bool loadPrefNames(AppState& state, Person& person) {
    state.prefs.clear();
    try {
        Database db = Database::open(state.strBaseDbPath, Database::Mode::ReadOnly);
        requireTable(db, kPrefTable);
        Statement st = db.prepare("SELECT fldKanjiName, fldKatakanaName, fldPrefType FROM " +
                                  quoteIdentifier(kPrefTable) + " ORDER BY rowid");
        while (st.step()) {
            std::size_t n = state.prefs.size() + 1;
            if (n > kMaxPrefectures)
                throw tooMany(kPrefTable, kMaxPrefectures);
            Prefecture p;
            p.kanji = requiredText(st, 0, kPrefTable, "fldKanjiName", n);
            p.kana = requiredText(st, 1, kPrefTable, "fldKatakanaName", n);
            std::optional<std::string> type = st.optText(2);
            if (type)
                p.kanji += *type;
            p.kanaSuffix = suffixReading(type);
            state.prefs.push_back(p);
        }
        if (state.prefs.empty()) {
            throw Error(FormatError::NotFound,
                        "テーブル " + std::string(kPrefTable) + " に都道府県が1件もありません。");
        }
        return true;
    } catch (const std::exception& e) {
        reportError(person, e);
    }
    return false;
}

bool loadDbList(AppState& state, Person& person, std::vector<std::string>& names) {
    names.clear();
    try {
        Database db = Database::open(state.strBaseDbPath, Database::Mode::ReadOnly);
        requireTable(db, state.strDbListTable);
        Statement st = db.prepare("SELECT fldDbName FROM " + quoteIdentifier(state.strDbListTable) +
                                  " ORDER BY rowid");
        while (st.step())
            names.push_back(
                requiredText(st, 0, state.strDbListTable, "fldDbName", names.size() + 1));
        return true;
    } catch (const std::exception& e) {
        reportError(person, e);
    }
    return false;
}

void readSourceFiles(const std::string& dbPath, std::vector<SourceFile>& files,
                     std::vector<std::optional<std::string>>& dates) {
    files.clear();
    dates.clear();
    Database db = Database::open(dbPath, Database::Mode::ReadOnly);
    requireTable(db, kSourceTable);
    Statement st = db.prepare("SELECT fldSrcFile, fldSrcDir, fldDate FROM " +
                              quoteIdentifier(kSourceTable) + " ORDER BY rowid");
    while (st.step()) {
        std::size_t n = files.size() + 1;
        if (n > kMaxSourceFiles)
            throw tooMany(kSourceTable, kMaxSourceFiles);
        SourceFile f;
        f.file = requiredText(st, 0, kSourceTable, "fldSrcFile", n);
        f.dir = requiredText(st, 1, kSourceTable, "fldSrcDir", n);
        files.push_back(f);
        dates.push_back(st.optText(2));
    }
}

std::int32_t readSrcFileList(Person& person, const std::string& dbPath,
                             std::vector<SourceFile>& files,
                             std::vector<std::optional<std::string>>& dates) {
    try {
        readSourceFiles(dbPath, files, dates);
        return static_cast<std::int32_t>(files.size());
    } catch (const std::exception& e) {
        reportError(person, e, dbPath);
    }
    // The count is what callers go by; lists that disagree with it would mislead.
    files.clear();
    dates.clear();
    return 0;
}

void registerDbInCatalog(AppState& state, Person& person, const std::string& regionName) {
    try {
        Database db = Database::open(state.strBaseDbPath);
        requireTable(db, state.strDbListTable);
        const std::string table = quoteIdentifier(state.strDbListTable);
        Transaction tx(db);
        Statement find = db.prepare("SELECT rowid, fldDbDir FROM " + table +
                                    " WHERE fldDbName = ?1 COLLATE BINARY ORDER BY rowid LIMIT 1");
        find.bind(1, regionName);
        if (find.step()) {
            std::int64_t rowid = find.int64(0);
            std::optional<std::string> dir = find.optText(1);
            find.reset();
            // A row without a directory is brought up to date as well.
            if (dir != state.strDbDir) {
                Statement update =
                    db.prepare("UPDATE " + table + " SET fldDbDir = ?1 WHERE rowid = ?2");
                update.bind(1, state.strDbDir).bind(2, rowid).run();
            }
        } else {
            find.reset();
            Statement insert =
                db.prepare("INSERT INTO " + table + " (fldDbName, fldDbDir) VALUES (?1, ?2)");
            insert.bind(1, regionName).bind(2, state.strDbDir).run();
        }
        tx.commit();
    } catch (const std::exception& e) {
        reportError(person, e, regionName);
    }
}

std::vector<CatalogRow> readCatalog(const std::string& baseDbPath) {
    Database db = Database::open(baseDbPath, Database::Mode::ReadOnly);
    requireTable(db, kCatalogTable);
    Statement st = db.prepare("SELECT fldID, fldDbName, fldDbDir FROM " +
                              quoteIdentifier(kCatalogTable) + " ORDER BY rowid");
    std::vector<CatalogRow> rows;
    while (st.step())
        rows.push_back(CatalogRow{st.int64(0), st.optText(1), st.optText(2)});
    return rows;
}

}  // namespace mrk2
