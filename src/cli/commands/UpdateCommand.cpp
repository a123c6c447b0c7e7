// mrk2cli update: brings a region database up to date with its recorded files,
// plus added ones, minus removed ones; only changed and new files are loaded.
#include <algorithm>
#include <optional>
#include <vector>

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

const CommandInfo kInfo{"update", "update REGION [CSV...] [--remove CSV...] [--start-line N]",
                        "地域別ＤＢを変更・追加されたCSVで更新する（更新）", &runUpdate};

MRK2_COMMAND(kInfo);

int runUpdate(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto startLine = args.option("--start-line");
    auto removals = args.options("--remove");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.empty())
        return usageError(kInfo, "地域名を指定して下さい。");
    if (startLine)
        ctx.state.strPosInfoStart = *startLine;
    if (!selectRegion(ctx, words[0]))
        return kExitFailed;
    AppState& state = ctx.state;
    // Updating needs a region database to compare with, as the window's "更新".
    if (!fileExists(state.strPrefDbPath)) {
        ctx.person.message("地域別ＤＢが見つかりません。\n" + state.strPrefDbPath);
        return kExitFailed;
    }

    std::vector<std::optional<std::string>> dates;
    readSrcFileList(ctx.person, state.strPrefDbPath, state.srcFiles, dates);
    for (std::size_t i = 1; i < words.size(); ++i) {
        SourceFile f = sourceFileOf(words[i]);
        if (std::find(state.srcFiles.begin(), state.srcFiles.end(), f) == state.srcFiles.end())
            state.srcFiles.push_back(f);
    }
    for (const std::string& r : removals) {
        SourceFile f = sourceFileOf(r);
        auto it = std::find(state.srcFiles.begin(), state.srcFiles.end(), f);
        if (it == state.srcFiles.end())
            return usageError(kInfo, "登録されていないファイルです: " + joinPath(f.dir, f.file));
        state.srcFiles.erase(it);
    }
    if (state.srcFiles.size() > kMaxSourceFiles)
        return usageError(kInfo, "CSVファイルは1000個までです。");
    RegionSnapshot before = snapshotBeforeRun(ctx.state.strPrefDbPath);
    int status = startImport(ctx, ImportMode::Update);
    if (status == kExitOk)
        printRunSummary(before, ctx.state.strPrefDbPath);
    return status;
}

}  // namespace

}  // namespace mrk2::cli
