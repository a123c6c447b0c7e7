#pragma once
#include <cstdint>
#include <string>

#include "app/RunProgress.h"

namespace mrk2 {

// The per-town table being filled during one import run; it carries over from
// file to file.
struct TownTableCursor {
    int intTableNo = 1;
    std::int32_t lngTableRows = 0;
    std::string tableName;  // the current table name
};

// Turns the staged rows of one file into POSITION rows and per-town rows; a new
// per-town table begins at a town boundary once the current one holds `minRecs`
// rows. A Stop ends it early. Throws mrk2::Error naming the database, or
// mrk2::Refusal when the table numbers run out.
void getUniqueTable(const std::string& dbPath, std::int32_t minRecs, TownTableCursor& cursor,
                    RunProgress& progress);

// Creates the per-town table for `number` and makes it the cursor's current,
// empty table. Throws as above.
void addTownTable(const std::string& dbPath, int number, TownTableCursor& cursor);

// One above the highest table number named in POSITION; 1 when none. Throws
// mrk2::Error naming the database.
std::int32_t nextTableNumber(const std::string& dbPath);

}  // namespace mrk2
