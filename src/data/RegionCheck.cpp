#include "data/RegionCheck.h"

#include <regex>
#include <set>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/WriterLock.h"
#include "data/Database.h"

namespace mrk2 {

namespace {

std::int64_t single(Database& db, const std::string& sql) {
    Statement st = db.prepare(sql);
    return st.step() ? st.int64(0) : 0;
}

bool isTownTableName(const std::string& name) {
    static const std::regex pattern("POSITION_[0-9]{4}");
    return std::regex_match(name, pattern);
}

std::vector<std::string> tableNames(Database& db) {
    std::vector<std::string> out;
    Statement st = db.prepare("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name");
    while (st.step())
        out.push_back(st.text(0));
    return out;
}

// Every fault found, one line each; `counts` is filled as far as the tables allow.
std::vector<std::string> inspect(Database& db, RegionCheck& counts) {
    std::vector<std::string> faults;
    {
        Statement st = db.prepare("PRAGMA integrity_check");
        while (st.step()) {
            if (st.text(0) != "ok")
                faults.push_back("integrity_check: " + st.text(0));
        }
    }
    const std::vector<std::string> tables = tableNames(db);
    const std::set<std::string> present(tables.begin(), tables.end());
    for (const char* required : {"POSITION", "POSITION管理", "POST"}) {
        if (!present.count(required))
            faults.push_back(std::string("テーブルがありません: ") + required);
    }
    if (present.count("POSITION_TMP"))
        faults.push_back("一時テーブル POSITION_TMP が残っています。");
    if (!faults.empty() && !present.count("POSITION"))
        return faults;

    std::vector<std::string> townTables;
    for (const std::string& t : tables) {
        if (t.rfind("POSITION_", 0) != 0 || t == "POSITION_TMP")
            continue;
        if (!isTownTableName(t)) {
            faults.push_back("テーブル名が規則に合いません: " + t);
            continue;
        }
        townTables.push_back(t);
    }
    if (present.count("POSITION管理")) {
        counts.sources = single(db, "SELECT count(*) FROM POSITION管理");
        std::int64_t orphans = single(db,
                                      "SELECT count(*) FROM POSITION WHERE fldSrcID IS NULL OR "
                                      "fldSrcID NOT IN (SELECT fldID FROM POSITION管理)");
        if (orphans)
            faults.push_back("POSITION管理 にない fldSrcID の POSITION 行: " +
                             std::to_string(orphans));
    }
    // Towns by name, as the end summary of a run counts them: a town that
    // sources of two layouts give (blocks and houses) is one town.
    counts.towns = single(db,
                          "SELECT count(*) FROM (SELECT DISTINCT fld都道府県名, fld市区町村名, "
                          "fld大字・町丁目 FROM POSITION)");
    {
        Statement st =
            db.prepare("SELECT DISTINCT fldTableName FROM POSITION WHERE fldTableName IS NOT NULL");
        while (st.step()) {
            std::string name = st.text(0);
            if (!isTownTableName(name))
                faults.push_back("fldTableName が規則に合いません: " + name);
            else if (!present.count(name))
                faults.push_back("fldTableName のテーブルがありません: " + name);
        }
    }
    counts.tables = static_cast<std::int64_t>(townTables.size());
    for (const std::string& t : townTables) {
        const std::string q = quoteIdentifier(t);
        counts.rows += single(db, "SELECT count(*) FROM " + q);
        std::int64_t orphans = single(db, "SELECT count(*) FROM " + q +
                                              " WHERE fldPositionID IS NULL OR fldPositionID "
                                              "NOT IN (SELECT fldID FROM POSITION)");
        if (orphans)
            faults.push_back(t +
                             ": POSITION にない fldPositionID の行: " + std::to_string(orphans));
    }
    if (present.count("POST"))
        counts.postal = single(db, "SELECT count(*) FROM POST");
    return faults;
}

}  // namespace

RegionCheck checkRegion(const std::string& dbDir, const std::string& region) {
    RegionCheck check;
    check.writerRunning = WriterLock::heldNow(dbDir);
    for (const std::string& work :
         {files::regionWorkPath(dbDir, region), files::regionCompactedPath(dbDir, region)}) {
        if (fileExists(work))
            check.workFiles.push_back(work);
    }
    const std::string path = files::regionDbPath(dbDir, region);
    try {
        Database db = Database::open(path, Database::Mode::ReadOnly);
        check.faults = inspect(db, check);
    } catch (const Error& e) {
        check.faults.push_back(standardErrorText(e, path));
    }
    return check;
}

}  // namespace mrk2
