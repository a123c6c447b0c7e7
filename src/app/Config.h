#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// Reads every key of section MRK into the state (defaults for missing or empty
// keys). A value that must be a number but is not is reported to the person with
// its key and value; the function then returns false and the caller stops.
bool loadIniFile(AppState& state, Person& person);

// DBDIR, PREFDIR, INPUTDIR, OUTPUTDIR, DELIMITER from the state, in that order.
void saveIniFile(const AppState& state);

// POSINFOSTART, POSTALSTART, POSTALPATH from the state, in that order.
void saveStartLines(const AppState& state);

}  // namespace mrk2
