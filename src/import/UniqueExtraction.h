#pragma once
#include <cstdint>
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// The per-town table being filled during one import run; it carries over from
// file to file.
struct TownTableCursor {
    int intTableNo = 1;
    std::int32_t lngTableRows = 0;
    std::string tableName;  // the current table name
};

// Turns the staged rows of one file into POSITION rows and per-town rows.
// Returns state.blnProcessing at its end; false after an error or the table limit.
bool getUniqueTable(AppState& state, Person& person, const std::string& dbPath,
                    TownTableCursor& cursor);

// Creates the per-town table for `number`; returns its name, or "" on failure.
// Sets cursor.lngTableRows to 0 in every case.
std::string addTownTable(Person& person, const std::string& dbPath, int number,
                         TownTableCursor& cursor);

// One above the highest table number named in POSITION; 1 when none; 0 on error.
std::int32_t nextTableNumber(Person& person, const std::string& dbPath);

}  // namespace mrk2
