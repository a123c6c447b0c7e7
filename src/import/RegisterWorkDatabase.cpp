#include "import/RegisterWorkDatabase.h"

#include <set>
#include <vector>

#include "base/Error.h"
#include "base/FileOps.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"
#include "data/TableCopy.h"
#include "data/WorkFiles.h"

namespace mrk2 {

namespace {

// The tables a register run drops from its copy before it builds anew: the
// per-town tables POSITION names, POSITION itself, the staging and source
// tables, the empty per-town tables no town names any more, POST, which
// the run makes again from the base database, and the point index.
std::set<std::string> replacedTables(const std::string& regionPath) {
    std::set<std::string> replaced = {tableNameKey(tables::kPosition),
                                      tableNameKey(tables::kStaging),
                                      tableNameKey(tables::kSources), tableNameKey(tables::kPost),
                                      tableNameKey(tables::kPointIndex)};
    Database db = Database::open(regionPath, Database::Mode::ReadOnly);
    try {
        static const std::string named = "SELECT DISTINCT " + quoteIdentifier(fields::kTableName) +
                                         " FROM " + quoteIdentifier(tables::kPosition);
        Statement st = db.prepare(named);
        while (st.step()) {
            if (!st.isNull(0))
                replaced.insert(tableNameKey(st.text(0)));
        }
    } catch (const Error&) {
        // Without a readable POSITION no per-town table is named.
    }
    std::vector<std::string> townTables;
    {
        Statement st =
            db.prepare("SELECT name FROM sqlite_schema WHERE type = 'table' AND name GLOB ?1");
        st.bind(1, townTableGlob());
        while (st.step())
            townTables.push_back(st.text(0));
    }
    for (const std::string& table : townTables) {
        if (replaced.count(tableNameKey(table)))
            continue;
        Statement rows = db.prepare("SELECT 1 FROM " + quoteIdentifier(table) + " LIMIT 1");
        if (!rows.step())
            replaced.insert(tableNameKey(table));
    }
    return replaced;
}

}  // namespace

void makeRegisterWorkDatabase(const std::string& regionPath, const std::string& workPath,
                              LaterIndexes* later) {
    const std::set<std::string> replaced = replacedTables(regionPath);
    bool copied = copyTablesToNewDatabase(
        regionPath, workPath,
        [&](const std::string& table) { return !replaced.count(tableNameKey(table)); }, later);
    if (!copied) {
        removeDatabaseFiles(workPath);
        copyFile(regionPath, workPath);
    }
}

}  // namespace mrk2
