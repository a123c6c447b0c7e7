#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// mrk2tool.ini beside the executable, section "MRK".
std::string defaultIniPath();

// Reads every key of section MRK into the state (defaults for missing or empty
// keys). A value that must be a number but is not is reported to the person with
// its key and value; the function then returns false and the caller stops.
bool loadIniFile(AppState& state, Person& person);

// DBDIR, PREFDIR, INPUTDIR, OUTPUTDIR, DELIMITER from the state, in that order.
// A value that the file cannot hold so that it reads back the same (a character
// CP932 lacks or holds only as a look-alike, for one) is not written: the result
// is the standard error report of each such value, one per line, or empty. A file
// that cannot be written is not reported.
std::string saveIniFile(const AppState& state);

// POSINFOSTART, POSTALSTART, POSTALPATH from the state, in that order, with the
// same result.
std::string saveStartLines(const AppState& state);

}  // namespace mrk2
