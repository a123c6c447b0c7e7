// mrk2cli register-all and update-all: the national build, one region per
// prefecture found in the given archives, files and directories.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <thread>

#include "app/Error.h"
#include "app/StartLine.h"
#include "cli/ArgList.h"
#include "cli/BatchStatus.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "import/BatchStarter.h"

namespace mrk2::cli {

namespace {

int runRegisterAll(CommandContext& ctx);
int runUpdateAll(CommandContext& ctx);

const CommandInfo kRegisterAll{
    "register-all", "register-all [--jobs N] [--start-line N] ZIP|CSV|DIR...",
    "都道府県ごとの地域別ＤＢをまとめて作り直す（全国一括登録）", &runRegisterAll};
const CommandInfo kUpdateAll{"update-all", "update-all [--jobs N] [--start-line N] ZIP|CSV|DIR...",
                             "都道府県ごとの地域別ＤＢをまとめて更新し、ないものは登録する",
                             &runUpdateAll};

MRK2_COMMAND(kRegisterAll);
MRK2_COMMAND(kUpdateAll);

// The end table: one row per region, on stdout.
void printTable(const std::vector<BatchRegion>& regions) {
    std::cout << "地域\tソース\t町\t行\t秒\t結果\n";
    for (const BatchRegion& r : regions) {
        char secs[32];
        std::snprintf(secs, sizeof secs, "%.1f", r.seconds);
        std::cout << r.region << "\t" << r.sources.size() << "\t" << r.towns << "\t" << r.rows
                  << "\t" << secs << "\t" << batchOutcomeName(r.outcome, r.started) << "\n";
    }
    std::cout << std::flush;
}

int runBatch(CommandContext& ctx, const CommandInfo& info, ImportMode mode) {
    ArgList args(ctx.args);
    auto jobsText = args.option("--jobs");
    auto startLine = args.option("--start-line");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(info, args.error());
    if (words.empty())
        return usageError(info, "アーカイブ、CSVファイルまたはディレクトリを指定して下さい。");
    BatchRequest request;
    request.mode = mode;
    request.dbDir = ctx.settings.dbDir;
    request.paths = words;
    request.layout.columns = ctx.settings.posInfoColumns;
    request.minRecs = ctx.settings.minRecs;
    request.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    try {
        request.layout.startLine = parseStartLine(startLine.value_or(ctx.settings.posInfoStart));
    } catch (const Refusal& r) {
        ctx.person.message(r.what());
        return kExitFailed;
    }
    if (jobsText) {
        // Whole numbers only: "1.5" is no count of jobs, whatever a start line
        // would round it to.
        const std::string& t = *jobsText;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), request.jobs);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size() || request.jobs < 1 ||
            request.jobs > 32767)
            return usageError(info, "--jobs には 1 から 32767 までの数を指定して下さい。");
    }
    BatchStatus status(ctx.quiet);
    BatchOutcome result = startBatchImport(request, ctx.person, ctx.person, status);
    status.clear();
    if (!result.regions.empty())
        printTable(result.regions);
    if (result.outcome.kind == Outcome::Kind::Stopped)
        ctx.person.message("処理を中止しました。");
    else if (result.outcome.succeeded())
        ctx.person.message("処理を完了しました。");
    return result.outcome.succeeded() ? kExitOk : kExitFailed;
}

int runRegisterAll(CommandContext& ctx) {
    return runBatch(ctx, kRegisterAll, ImportMode::Register);
}

int runUpdateAll(CommandContext& ctx) {
    return runBatch(ctx, kUpdateAll, ImportMode::Update);
}

}  // namespace

}  // namespace mrk2::cli
