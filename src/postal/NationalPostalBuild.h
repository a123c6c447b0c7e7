#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

enum class PostalBuildResult {
    Done,
    Refused,       // a check before the build failed; its message was shown
    BadStartLine,  // the start line is not a number; the window focuses its box
    Failed         // the build failed; the base database is unchanged
};

// The national postal build ("更新"): rebuilds POST of the base database from the
// CSV at csvPath on a copy, then replaces the base database atomically.
PostalBuildResult buildNationalPostal(AppState& state, Person& person, const std::string& csvPath,
                                      const std::string& startLineText);

}  // namespace mrk2
