// mrk2cli sources: the source files recorded in a region database (POSITION管理),
// each with its recorded date, its date on disk now, and whether it changed since.
#include <iostream>
#include <string>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "cli/RunStarter.h"
#include "data/Catalog.h"
#include "data/SourceStatus.h"

namespace mrk2::cli {

namespace {

class SourcesCommand : public Command {
  public:
    SourcesCommand()
        : Command("sources", "地域別ＤＢに登録されたＣＳＶファイルと変更の有無を表示する") {}
    void declare(Declaration& d) override { d.positional("REGION", region_); }
    int run(CommandContext& ctx) override;

  private:
    std::string region_;
};

MRK2_COMMAND(SourcesCommand);

const char* changeText(const SourceStatus& s) {
    if (!s.currentDate)
        return "ファイルなし";
    return s.changed ? "変更あり" : "変更なし";
}

int SourcesCommand::run(CommandContext& ctx) {
    const RecordedSources recorded = readSourceFiles(ctx.existingRegionDb(region_));
    std::cout << "ディレクトリ\tファイル\t登録時の日付\t現在の日付\t変更\n";
    for (const SourceStatus& s : compareSources(recorded.files, recorded.dates)) {
        std::cout << listingCell(s.source.dir) << '\t' << listingCell(s.source.file) << '\t'
                  << listingCell(s.recordedDate) << '\t' << listingCell(s.currentDate) << '\t'
                  << changeText(s) << '\n';
    }
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
