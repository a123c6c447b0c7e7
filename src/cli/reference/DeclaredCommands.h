#pragma once
#include <string>
#include <vector>

#include "cli/Declaration.h"

namespace mrk2::cli {

// A declared command with the words that reach it: "register", "learn list".
struct NamedCommand {
    std::string path;
    const DeclaredCommand* declared = nullptr;
};

// Every command under the global line and every part of one, in the order of
// the help: a command of several, then its parts.
std::vector<NamedCommand> declaredCommands(const DeclaredCommand& root);

}  // namespace mrk2::cli
