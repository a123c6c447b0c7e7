// mrk2cli register: builds a region database afresh from exactly the given files.
#include "base/FileNames.h"
#include "base/Limits.h"
#include "base/RegionName.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/ComparisonReport.h"
#include "cli/RunStarter.h"

namespace mrk2::cli {

namespace {

class RegisterCommand : public Command {
  public:
    RegisterCommand()
        : Command("register", "地域別ＤＢを指定の位置参照情報CSVから作り直す（登録）") {}
    void declare(Declaration& d) override {
        d.positional("REGION", region_);
        d.positionals("CSV|ZIP...", paths_);
        d.option("--start-line", "N", startLine_);
        d.option("--memory", "SIZE", memory_);
    }
    int run(CommandContext& ctx) override;

  private:
    std::string region_;
    std::vector<std::string> paths_;
    std::optional<std::string> startLine_;
    std::optional<std::string> memory_;
};

MRK2_COMMAND(RegisterCommand);

int RegisterCommand::run(CommandContext& ctx) {
    if (paths_.size() > kMaxSourceFiles)
        throw UsageError("CSVファイルは1000個までです。");
    checkRegionName(region_);
    ImportRequest request = importRequest(ctx, ImportMode::Register, region_, startLine_, memory_);
    for (const std::string& path : paths_)
        addSourcesOf(path, request.sources);
    checkSourceLimit(request.sources.size());
    const std::string dbPath = files::regionDbPath(request.dbDir, request.region);
    RegionSnapshot before = snapshotBeforeRun(dbPath);
    std::string runTime;
    int status = runImportCommand(ctx, request, runTime);
    if (status == kExitOk)
        printRunSummary(before, dbPath, runTime);
    return status;
}

}  // namespace

}  // namespace mrk2::cli
