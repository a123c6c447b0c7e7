#include "import/RegionPostal.h"

#include <cerrno>

#include "base/Error.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/SchemaNames.h"

namespace mrk2 {

namespace {

const std::string kPost = quoteIdentifier(tables::kPost);
const std::string kPostFields = columnList(fields::kPostRow);

// "fld都道府県 IN (?1, ?2, ...)" for the names, or "" when there is none.
std::string prefectureFilter(const std::vector<std::string>& names) {
    if (names.empty())
        return {};
    std::string sql = " WHERE " + quoteIdentifier(fields::kPref) + " IN (";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i)
            sql += ", ";
        sql += "?" + std::to_string(i + 1);
    }
    return sql + ")";
}

void bindNames(Statement& st, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        st.bind(static_cast<int>(i + 1), names[i]);
}

}  // namespace

void matchRegionPostTable(const std::string& workDbPath, const std::string& baseDbPath) {
    std::vector<std::string> held;
    inContext(workDbPath, [&] {
        Database db = Database::open(workDbPath);
        const std::string pref = quoteIdentifier(fields::kPrefName);
        Statement st =
            db.prepare("SELECT DISTINCT " + pref + " FROM " + quoteIdentifier(tables::kPosition) +
                       " WHERE " + pref + " <> '' ORDER BY " + pref);
        while (st.step())
            held.push_back(st.text(0));
        st = Statement();
        db.exec("DELETE FROM " + kPost);
    });
    // No name would mean every row to the fill; a region of no prefecture has none.
    if (!held.empty())
        fillRegionPostTable(workDbPath, baseDbPath, held, false);
}

void fillRegionPostTable(const std::string& workDbPath, const std::string& baseDbPath,
                         const std::vector<std::string>& prefs, bool replaceExisting) {
    // The prefectures of this run; a file without data lines contributed an
    // empty name, which filters nothing. No name at all means every row.
    std::vector<std::string> names;
    for (const std::string& p : prefs) {
        if (!p.empty())
            names.push_back(p);
    }
    const std::string filter = prefectureFilter(names);
    inContext(workDbPath, [&] {
        // ATTACH would create a missing file; the base database must be there.
        if (!fileExists(baseDbPath))
            throw fileError(ENOENT, baseDbPath);
        Database db = Database::open(workDbPath);
        db.exec("PRAGMA synchronous = OFF");
        Statement attach = db.prepare("ATTACH DATABASE ?1 AS base");
        attach.bind(1, baseDbPath);
        attach.run();
        {
            Transaction tx(db);
            if (replaceExisting) {
                Statement del = db.prepare("DELETE FROM main." + kPost + filter);
                bindNames(del, names);
                del.run();
            }
            // One statement does the work of the row-by-row copy, in the base
            // table's own order.
            Statement copy = db.prepare("INSERT INTO main." + kPost + " (" + kPostFields +
                                        ") SELECT " + kPostFields + " FROM base." + kPost + filter +
                                        " ORDER BY " + quoteIdentifier(fields::kId));
            bindNames(copy, names);
            copy.run();
            tx.commit();
        }
        db.exec("DETACH DATABASE base");
    });
}

}  // namespace mrk2
