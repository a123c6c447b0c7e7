// mrk2cli regions: the region catalog ＤＢ一覧 and whether each region's file exists.
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
#include "data/Catalog.h"

namespace mrk2::cli {

namespace {

int runRegions(CommandContext& ctx);

const CommandInfo kInfo{"regions", "regions", "地域別ＤＢの一覧 (ＤＢ一覧) を表示する",
                        &runRegions};

MRK2_COMMAND(kInfo);

int runRegions(CommandContext& ctx) {
    ArgList args(ctx.args);
    if (!args.positional().empty() || !args.error().empty())
        return usageError(kInfo, args.error().empty() ? "余分な引数があります。" : args.error());
    std::vector<CatalogRow> rows;
    try {
        rows = readCatalog(ctx.baseDbPath());
    } catch (const Error& e) {
        ctx.person.message(standardErrorText(e.in(ctx.baseDbPath())));
        return kExitFailed;
    }
    // The region file lies beside the base database, whatever directory the row
    // recorded at registration.
    std::cout << "ID\t地域名\tディレクトリ\tファイル\n";
    for (const CatalogRow& r : rows) {
        bool exists = r.name && isUsableRegionName(*r.name) &&
                      fileExists(files::regionDbPath(ctx.settings.dbDir, *r.name));
        std::cout << r.id << '\t' << listingCell(r.name) << '\t' << listingCell(r.dir) << '\t'
                  << (exists ? "あり" : "なし") << '\n';
    }
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
