// mrk2cli regions: the region catalog ＤＢ一覧 and whether each region's file exists.
#include <iostream>
#include <string>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "data/Catalog.h"

namespace mrk2::cli {

namespace {

class RegionsCommand : public Command {
  public:
    RegionsCommand() : Command("regions", "地域別ＤＢの一覧 (ＤＢ一覧) を表示する") {}
    void declare(Declaration&) override {}
    int run(CommandContext& ctx) override;
};

MRK2_COMMAND(RegionsCommand);

int RegionsCommand::run(CommandContext& ctx) {
    const std::vector<CatalogRow> rows =
        inContext(ctx.baseDbPath(), [&] { return readCatalog(ctx.baseDbPath()); });
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
