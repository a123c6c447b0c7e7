// mrk2cli sources: the source files recorded in a region database (POSITION管理),
// each with its recorded date, its date on disk now, and whether it changed since.
#include <iostream>
#include <string>

#include "app/Error.h"
#include "app/FileNames.h"
#include "app/Paths.h"
#include "app/RegionName.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "cli/RunStarter.h"
#include "data/Catalog.h"
#include "data/SourceStatus.h"

namespace mrk2::cli {

namespace {

int runSources(CommandContext& ctx);

const CommandInfo kInfo{"sources", "sources REGION",
                        "地域別ＤＢに登録されたＣＳＶファイルと変更の有無を表示する", &runSources};

MRK2_COMMAND(kInfo);

const char* changeText(const SourceStatus& s) {
    if (!s.currentDate)
        return "ファイルなし";
    return s.changed ? "変更あり" : "変更なし";
}

int runSources(CommandContext& ctx) {
    ArgList args(ctx.args);
    std::vector<std::string> words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.size() != 1)
        return usageError(kInfo,
                          words.empty() ? "地域名を指定して下さい。" : "余分な引数があります。");
    const std::string& region = words[0];
    if (!acceptRegionName(ctx, region))
        return kExitFailed;
    const std::string path = files::regionDbPath(ctx.settings.dbDir, region);
    if (!fileExists(path)) {
        ctx.person.message("地域別ＤＢが見つかりません。\n" + path);
        return kExitFailed;
    }
    RecordedSources recorded;
    try {
        recorded = readSourceFiles(path);
    } catch (const Error& e) {
        ctx.person.message(standardErrorText(e));
        return kExitFailed;
    }
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
