// mrk2cli register: builds a region database afresh from exactly the given files.
#include "app/FileNames.h"
#include "app/Limits.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/ComparisonReport.h"
#include "cli/RunStarter.h"

namespace mrk2::cli {

namespace {

int runRegister(CommandContext& ctx);

const CommandInfo kInfo{"register", "register REGION CSV|ZIP... [--start-line N]",
                        "地域別ＤＢを指定の位置参照情報CSVから作り直す（登録）", &runRegister};

MRK2_COMMAND(kInfo);

int runRegister(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto startLine = args.option("--start-line");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.size() < 2)
        return usageError(kInfo, "地域名とCSVファイルを指定して下さい。");
    if (words.size() - 1 > kMaxSourceFiles)
        return usageError(kInfo, "CSVファイルは1000個までです。");
    if (!acceptRegionName(ctx, words[0]))
        return kExitFailed;
    auto request = importRequest(ctx, ImportMode::Register, words[0], startLine);
    if (!request)
        return kExitFailed;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (!addSourcesOf(ctx, words[i], request->sources))
            return kExitFailed;
    }
    if (!withinSourceLimit(ctx, request->sources.size()))
        return kExitFailed;
    const std::string dbPath = files::regionDbPath(request->dbDir, request->region);
    RegionSnapshot before = snapshotBeforeRun(dbPath);
    int status = runImportCommand(ctx, *request);
    if (status == kExitOk)
        printRunSummary(before, dbPath);
    return status;
}

}  // namespace

}  // namespace mrk2::cli
