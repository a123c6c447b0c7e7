#include "data/RegionDeletion.h"

#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/FileNames.h"
#include "app/FileOps.h"
#include "app/Paths.h"
#include "app/RegionName.h"
#include "data/Catalog.h"
#include "data/Database.h"

namespace mrk2 {

namespace {

void removeRegion(const RegionDeletionRequest& request, const std::string& regionPath) {
    Database base = Database::open(files::baseDbPath(request.dbDir));
    // The catalog row goes only if the file goes too: the transaction stays
    // open while the file is removed and is rolled back if that fails.
    Transaction tx(base);
    Statement del =
        base.prepare("DELETE FROM " + quoteIdentifier(kCatalogTable) + " WHERE fldDbName = ?1");
    del.bind(1, request.region);
    del.run();
    removeFile(regionPath);
    tx.commit();
}

}  // namespace

Outcome deleteRegion(const RegionDeletionRequest& request, Person& person) {
    try {
        if (request.region.empty())
            throw Refusal("地域名を選択して下さい。");
        if (!isUsableRegionName(request.region))
            throw Refusal("この地域名はファイル名に使えません。\n" + request.region);
        const std::string regionPath = files::regionDbPath(request.dbDir, request.region);
        if (!fileExists(regionPath))
            throw Refusal("地域別ＤＢが見つかりません。");
        if (!person.askOkCancel(files::regionDbFileName(request.region) + "を削除していいですか？"))
            return Outcome::nothingToDo();
        removeRegion(request, regionPath);
        return Outcome::completed();
    } catch (const std::exception& e) {
        reportError(person, e);
        return Outcome::failed(asError(e));
    }
}

}  // namespace mrk2
