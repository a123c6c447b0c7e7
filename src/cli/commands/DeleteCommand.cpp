// mrk2cli delete: the main window's "削除" for one region.
#include <iostream>

#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "data/RegionDeletion.h"

namespace mrk2::cli {

namespace {

int runDelete(CommandContext& ctx);

const CommandInfo kInfo{"delete", "delete REGION", "地域別ＤＢを削除する（確認は --yes で答える）",
                        &runDelete};

MRK2_COMMAND(kInfo);

int runDelete(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.size() != 1)
        return usageError(kInfo, "地域名を一つ指定して下さい。");
    const Outcome outcome =
        startRegionDeletion({ctx.settings.dbDir, words[0]}, ctx.person, ctx.person);
    if (outcome.kind != Outcome::Kind::Completed)
        return kExitFailed;
    std::cout << outcome.summary << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
