// mrk2cli update: brings a region database up to date with its recorded files,
// plus added ones, minus removed ones; only changed and new files are loaded.
#include <algorithm>

#include "app/Error.h"
#include "app/FileNames.h"
#include "app/Limits.h"
#include "app/Paths.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/ComparisonReport.h"
#include "cli/RunStarter.h"
#include "data/Catalog.h"

namespace mrk2::cli {

namespace {

int runUpdate(CommandContext& ctx);

const CommandInfo kInfo{"update",
                        "update REGION [CSV|ZIP...] [--remove CSV|ZIP...] [--start-line N]",
                        "地域別ＤＢを変更・追加されたCSVで更新する（更新）", &runUpdate};

MRK2_COMMAND(kInfo);

int runUpdate(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto startLine = args.option("--start-line");
    auto removals = args.valueList("--remove");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.empty())
        return usageError(kInfo, "地域名を指定して下さい。");
    if (!acceptRegionName(ctx, words[0]))
        return kExitFailed;
    auto request = importRequest(ctx, ImportMode::Update, words[0], startLine);
    if (!request)
        return kExitFailed;
    // Updating needs a region database to compare with, as the window's "更新".
    const std::string regionPath = files::regionDbPath(request->dbDir, request->region);
    if (!fileExists(regionPath)) {
        ctx.person.message("地域別ＤＢが見つかりません。\n" + regionPath);
        return kExitFailed;
    }

    std::vector<SourceFile>& sources = request->sources;
    try {
        sources = readSourceFiles(regionPath).files;
    } catch (const Error& e) {
        // An unreadable list counts as no list, as in the selection window.
        ctx.person.message(standardErrorText(e));
    }
    std::vector<SourceFile> given;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (!addSourcesOf(ctx, words[i], given))
            return kExitFailed;
    }
    for (const SourceFile& f : given) {
        if (std::find(sources.begin(), sources.end(), f) == sources.end())
            sources.push_back(f);
    }
    for (const std::string& r : removals) {
        // An archive named here stands for those of its members that are
        // registered, whether or not it is still on disk.
        const std::string abs = absolutePath(r);
        const auto isRemoved = [&](const SourceFile& f) {
            return f.path() == abs || (f.inArchive() && f.dir == abs);
        };
        auto it = std::remove_if(sources.begin(), sources.end(), isRemoved);
        if (it == sources.end())
            return usageError(kInfo, "登録されていないファイルです: " + abs);
        sources.erase(it, sources.end());
    }
    if (!withinSourceLimit(ctx, sources.size()))
        return kExitFailed;
    RegionSnapshot before = snapshotBeforeRun(regionPath);
    int status = runImportCommand(ctx, *request);
    if (status == kExitOk)
        printRunSummary(before, regionPath);
    return status;
}

}  // namespace

}  // namespace mrk2::cli
