#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// The workspace wsMain. SQLite needs no workspace object; opening it marks the
// session ready for database work.
bool openWorkspace(AppState& state);
void closeWorkspace(AppState& state);

// The base database held open in dbBase while the main window is up.
bool openBaseDb(AppState& state, Person& person);
bool closeBaseDb(AppState& state, Person& person);

// Fills state.prefs from 都道府県名 of state.strBaseDbPath.
bool loadPrefNames(AppState& state, Person& person);

// fldDbName of every row of ＤＢ一覧, in the table's own order. `names` is cleared
// first and keeps what was read before an error.
bool loadDbList(AppState& state, Person& person, std::vector<std::string>& names);

// Reads POSITION管理 of a region database. Returns the count, 0 after an error.
// `dates` receives fldDate ("YYYY-MM-DD HH:MM:SS"; nullopt for NULL).
std::int32_t readSrcFileList(Person& person, const std::string& dbPath,
                             std::vector<SourceFile>& files,
                             std::vector<std::optional<std::string>>& dates);

// The same rows without the report: throws mrk2::Error (a missing file or table, a
// Null name, more than kMaxSourceFiles rows).
void readSourceFiles(const std::string& dbPath, std::vector<SourceFile>& files,
                     std::vector<std::optional<std::string>>& dates);

// Adds the region to ＤＢ一覧 or brings its fldDbDir up to state.strDbDir.
void registerDbInCatalog(AppState& state, Person& person, const std::string& regionName);

// One row of ＤＢ一覧, for listings.
struct CatalogRow {
    std::int64_t id = 0;
    std::optional<std::string> name;
    std::optional<std::string> dir;
};
// Every catalog row in table order; throws mrk2::Error.
std::vector<CatalogRow> readCatalog(const std::string& baseDbPath);

}  // namespace mrk2
