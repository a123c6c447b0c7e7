#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

enum class ImportMode { Register, Update };

// The whole import run for the region named by state.strRegionName (file
// state.strPrefDbPath in state.strDbDir) with the source-file list state.srcFiles.
// The starter sets state.blnProcessing to true first; afterwards it is true when
// the run completed and false when it was stopped or failed.
void runImport(AppState& state, Person& person, ImportMode mode);

// A new, empty database file at `path` (an old file there is removed first).
bool createEmptyDatabase(const std::string& path);

}  // namespace mrk2
