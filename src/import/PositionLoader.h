#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// Loads one position-reference CSV file into POSITION_TMP of the run's temporary
// database and records it in POSITION管理. The start line is state.strPosInfoStart,
// the columns state.intPosInfoFieldNo. `n` and `count` only serve the progress
// text. Returns state.blnProcessing at the end; true also when the file was
// missing and the person chose to go on.
bool loadPositionCsv(AppState& state, Person& person, const std::string& dbPath,
                     const std::string& dir, const std::string& file, int n, int count);

}  // namespace mrk2
