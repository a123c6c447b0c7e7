#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

class Database;

// Compares state.srcFiles with POSITION管理 of the temporary database, removes the
// data of changed and dropped sources, and fills `loadList` with the changed files
// followed by the new ones. Returns the number of removed sources, -1 on failure.
std::int32_t checkUpdatedFiles(AppState& state, Person& person, const std::string& dbPath,
                               std::vector<SourceFile>& loadList);

// Takes the given sources' rows out of POSITION, the per-town tables (dropping
// tables left empty) and POSITION管理.
void deleteSources(Database& db, const std::vector<std::int64_t>& sourceIds);

}  // namespace mrk2
