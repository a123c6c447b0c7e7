// mrk2cli init: writes a new base database mrk2.mdb, since none can be supplied.
#include <iostream>
#include <string>

#include "app/FileNames.h"
#include "app/Paths.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "data/BaseDbInit.h"

namespace mrk2::cli {

namespace {

int runInit(CommandContext& ctx);

const CommandInfo kInfo{"init", "init [DIR]",
                        "基本データベース mrk2.mdb を作成する (DIR の既定は DBDIR)", &runInit};

MRK2_COMMAND(kInfo);

int runInit(CommandContext& ctx) {
    ArgList args(ctx.args);
    std::vector<std::string> words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.size() > 1)
        return usageError(kInfo, "余分な引数があります。");
    std::string dir = words.empty() ? ctx.settings.dbDir : absolutePath(words[0]);
    if (dir.empty()) {
        return usageError(
            kInfo, "ディレクトリを指定して下さい (DIR、--db-dir または設定ファイルの DBDIR)。");
    }
    if (!initBaseDatabase({dir}, ctx.person).succeeded())
        return kExitFailed;
    if (!ctx.quiet)
        std::cerr << "基本データベースを作成しました。\n" << files::baseDbPath(dir) << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
