#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// Copies the rows of POST of the base database whose fld都道府県 is one of
// state.importPrefs into POST of the temporary database. With replaceExisting the
// rows of those prefectures are deleted first, so a refill never doubles them.
bool fillRegionPostTable(AppState& state, Person& person, const std::string& tempDbPath,
                         bool replaceExisting);

}  // namespace mrk2
