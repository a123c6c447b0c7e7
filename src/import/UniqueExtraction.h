#pragma once
#include <cstdint>
#include <string>

#include "base/RunProgress.h"
#include "data/Database.h"
#include "data/LaterIndexes.h"

namespace mrk2 {

// The per-town table being filled during one import run; it carries over from
// file to file.
struct TownTableCursor {
    int tableNumber = 1;
    std::int32_t tableRows = 0;
    std::string tableName;  // the current table name
    // Where the new tables' indexes go when the run creates them at its end
    // (LaterIndexes.h); none: with each table.
    LaterIndexes* laterIndexes = nullptr;
};

// Turns the staged rows of one file into POSITION rows and per-town rows; a new
// per-town table begins at a town boundary once the current one holds `minRecs`
// rows. A Stop ends it early. Throws mrk2::Error naming the database, or
// mrk2::Refusal when the table numbers run out.
void getUniqueTable(const std::string& dbPath, std::int32_t minRecs, TownTableCursor& cursor,
                    RunProgress& progress);

// The same on an open connection, within the caller's transaction.
void getUniqueTable(Database& db, std::int32_t minRecs, TownTableCursor& cursor,
                    RunProgress& progress);

// Creates the per-town table for `number` and makes it the cursor's current,
// empty table. Throws as above.
void addTownTable(const std::string& dbPath, int number, TownTableCursor& cursor);
void addTownTable(Database& db, int number, TownTableCursor& cursor);

// Creates the table after the cursor's and makes it current; Refusal past the
// last table number.
void beginNextTownTable(Database& db, TownTableCursor& cursor);

// One above the highest table number named in POSITION; 1 when none. Throws
// mrk2::Error naming the database.
std::int32_t nextTableNumber(const std::string& dbPath);

}  // namespace mrk2
