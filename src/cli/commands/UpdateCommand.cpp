// mrk2cli update: brings a region database up to date with its recorded files,
// plus added ones, minus removed ones; only changed and new files are loaded.
#include <algorithm>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/ComparisonReport.h"
#include "cli/RunStarter.h"
#include "data/Catalog.h"

namespace mrk2::cli {

namespace {

class UpdateCommand : public Command {
  public:
    UpdateCommand() : Command("update", "地域別ＤＢを変更・追加されたCSVで更新する（更新）") {}
    void declare(Declaration& d) override {
        d.positional("REGION", region_);
        d.positionals("CSV|ZIP...", added_, false);
        d.list("--remove", "CSV|ZIP...", removed_);
        d.option("--start-line", "N", startLine_);
        d.option("--memory", "SIZE", memory_);
    }
    int run(CommandContext& ctx) override;

  private:
    std::string region_;
    std::vector<std::string> added_;
    std::vector<std::string> removed_;
    std::optional<std::string> startLine_;
    std::optional<std::string> memory_;
};

MRK2_COMMAND(UpdateCommand);

int UpdateCommand::run(CommandContext& ctx) {
    checkRegionName(region_);
    ImportRequest request = importRequest(ctx, ImportMode::Update, region_, startLine_, memory_);
    // Updating needs a region database to compare with, as the window's "更新".
    const std::string regionPath = ctx.existingRegionDb(region_);

    std::vector<SourceFile>& sources = request.sources;
    try {
        sources = readSourceFiles(regionPath).files;
    } catch (const Error& e) {
        // An unreadable list counts as no list, as in the selection window.
        ctx.person.message(standardErrorText(e));
    }
    std::vector<SourceFile> given;
    for (const std::string& path : added_)
        addSourcesOf(path, given);
    for (const SourceFile& f : given) {
        if (std::find(sources.begin(), sources.end(), f) == sources.end())
            sources.push_back(f);
    }
    for (const std::string& r : removed_) {
        // An archive named here stands for those of its members that are
        // registered, whether or not it is still on disk.
        const std::string abs = absolutePath(r);
        const auto isRemoved = [&](const SourceFile& f) {
            return f.path() == abs || (f.inArchive() && f.dir == abs);
        };
        auto it = std::remove_if(sources.begin(), sources.end(), isRemoved);
        if (it == sources.end())
            throw UsageError("登録されていないファイルです: " + abs);
        sources.erase(it, sources.end());
    }
    checkSourceLimit(sources.size());
    RegionSnapshot before = snapshotBeforeRun(regionPath);
    std::string runTime;
    int status = runImportCommand(ctx, request, runTime);
    if (status == kExitOk)
        printRunSummary(before, regionPath, runTime);
    return status;
}

}  // namespace

}  // namespace mrk2::cli
