#pragma once
#include <string>

#include "cli/Declaration.h"

namespace mrk2::cli {

// The bash completion from its template (mrk2cli.bash.in): the line
// "@DECLARATIONS@" becomes shell functions that name the commands, the parts
// of a command of several, and every option and position with what it takes
// ("REGION", "CSV|ZIP...", "reg|tran|both"); the template says what to offer
// for each of those. Throws std::runtime_error when the template has no such
// line.
std::string completionScript(const std::string& templateText, const DeclaredCommand& root);

}  // namespace mrk2::cli
