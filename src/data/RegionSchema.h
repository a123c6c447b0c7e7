#pragma once
#include <string>
#include <string_view>

namespace mrk2 {

class Database;
class LaterIndexes;

// "POSITION_" + four digits: 1 gives POSITION_0001.
std::string townTableName(int number);
// Whether `name` is such a name (letter case counts).
bool isTownTableName(std::string_view name);
// The same as a GLOB pattern, for a search of sqlite_schema.
const std::string& townTableGlob();

// Drops every per-town table named in POSITION, then POSITION. False, silently,
// when that fails (a database without POSITION included).
bool dropPositionTables(const std::string& dbPath);
// The functions below throw mrk2::Error naming the database.
// An empty position schema: POSITION with IdxPosition_all, and POSITION管理.
// The index goes to `later` when one is given (LaterIndexes.h).
void createPositionTables(const std::string& dbPath, LaterIndexes* later = nullptr);
// A fresh, empty POSITION_TMP with IdxPosition_tmp; the file must exist.
// Meant for an import run's work file only: it is written without disk syncs.
void createStagingTable(const std::string& dbPath);
// The same on an open connection.
void createStagingTableIn(Database& db);
// A per-town table and its index Idx + name; a taken name fails.
void createTownTable(const std::string& dbPath, const std::string& tableName);

// The same per-town table on a database the caller already holds open (the
// extraction creates tables in the middle of its own transaction, where a second
// connection would have to wait for it). Throws mrk2::Error.
void createTownTableIn(Database& db, const std::string& tableName, LaterIndexes* later = nullptr);

}  // namespace mrk2
