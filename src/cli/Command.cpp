#include "cli/Command.h"

#include "base/Error.h"
#include "base/Paths.h"
#include "base/RegionName.h"

namespace mrk2::cli {

namespace {
std::vector<std::unique_ptr<Command>>& registry() {
    static std::vector<std::unique_ptr<Command>> all;
    return all;
}
}  // namespace

void registerCommand(std::unique_ptr<Command> command) {
    registry().push_back(std::move(command));
}

const std::vector<std::unique_ptr<Command>>& commands() {
    return registry();
}

std::string CommandContext::existingRegionDb(const std::string& region) const {
    checkRegionName(region);
    const std::string path = files::regionDbPath(settings.dbDir, region);
    if (!fileExists(path))
        throw Refusal("地域別ＤＢが見つかりません。\n" + path);
    return path;
}

}  // namespace mrk2::cli
