// mrk2cli register-all and update-all: the national build, one region per
// prefecture found in the given archives, files and directories.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <thread>

#include "base/Error.h"
#include "base/StartLine.h"
#include "cli/BatchStatus.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/RunStarter.h"
#include "import/BatchStarter.h"

namespace mrk2::cli {

namespace {

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

// register-all and update-all: the same words, one mode each.
class BatchCommand : public Command {
  public:
    BatchCommand(const char* name, const char* summary, ImportMode mode)
        : Command(name, summary), mode_(mode) {}
    void declare(Declaration& d) override {
        d.option("--jobs", "N", jobs_, 1, 32767);
        d.option("--memory", "SIZE", memory_);
        d.option("--start-line", "N", startLine_);
        d.positionals("ZIP|CSV|DIR...", paths_);
    }
    int run(CommandContext& ctx) override;

  private:
    ImportMode mode_;
    std::optional<int> jobs_;
    std::optional<std::string> startLine_;
    std::optional<std::string> memory_;
    std::vector<std::string> paths_;
};

struct RegisterAllCommand : BatchCommand {
    RegisterAllCommand()
        : BatchCommand("register-all", "都道府県ごとの地域別ＤＢをまとめて作り直す（全国一括登録）",
                       ImportMode::Register) {}
};
struct UpdateAllCommand : BatchCommand {
    UpdateAllCommand()
        : BatchCommand("update-all", "都道府県ごとの地域別ＤＢをまとめて更新し、ないものは登録する",
                       ImportMode::Update) {}
};

MRK2_COMMAND(RegisterAllCommand);
MRK2_COMMAND(UpdateAllCommand);

int BatchCommand::run(CommandContext& ctx) {
    BatchRequest request;
    request.mode = mode_;
    request.dbDir = ctx.settings.dbDir;
    request.paths = paths_;
    request.layout.columns = ctx.settings.posInfoColumns;
    request.minRecs = ctx.settings.minRecs;
    request.jobs =
        jobs_.value_or(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    request.layout.startLine = parseStartLine(startLine_.value_or(ctx.settings.posInfoStart));
    request.groupingBudget = memoryOption(ctx, memory_);
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

}  // namespace

}  // namespace mrk2::cli
