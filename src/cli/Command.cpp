#include "cli/Command.h"

#include <iostream>

namespace mrk2::cli {

namespace {
std::vector<CommandInfo>& registry() {
    static std::vector<CommandInfo> all;
    return all;
}
}  // namespace

void registerCommand(const CommandInfo& info) {
    registry().push_back(info);
}

const std::vector<CommandInfo>& commands() {
    return registry();
}

int usageError(const CommandInfo& info, const std::string& why) {
    std::cerr << "mrk2cli: " << why << "\n使い方: mrk2cli " << info.usage << "\n";
    return kExitUsage;
}

}  // namespace mrk2::cli
