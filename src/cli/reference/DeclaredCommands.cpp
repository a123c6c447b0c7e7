#include "cli/reference/DeclaredCommands.h"

#include "cli/Command.h"

namespace mrk2::cli {

namespace {

void collect(const DeclaredCommand& at, const std::string& path, std::vector<NamedCommand>& out) {
    for (const DeclaredCommand* part : at.parts) {
        const std::string named = (path.empty() ? "" : path + " ") + part->command->name();
        out.push_back({named, part});
        collect(*part, named, out);
    }
}

}  // namespace

std::vector<NamedCommand> declaredCommands(const DeclaredCommand& root) {
    std::vector<NamedCommand> out;
    collect(root, "", out);
    return out;
}

}  // namespace mrk2::cli
