#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// Drops and recreates POST (fldID and the seven text fields) with idxPost.
bool createPostTable(Person& person, const std::string& dbPath);

// Appends one POST row per line of the national postal CSV, columns from
// state.intPostalFieldNo.
bool loadPostalCsv(AppState& state, Person& person, const std::string& dbPath,
                   const std::string& csvPath);

}  // namespace mrk2
