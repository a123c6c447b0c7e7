#include "data/RegionDeletion.h"

#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/FileOps.h"
#include "app/Paths.h"
#include "data/Database.h"

namespace mrk2 {

bool isUsableRegionName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find(kPathSeparator) == std::string::npos && name.find('\0') == std::string::npos;
}

bool deleteRegion(AppState& state, Person& person, const std::string& regionName) {
    if (regionName.empty()) {
        person.message("地域名を選択して下さい。");
        return false;
    }
    if (!isUsableRegionName(regionName)) {
        person.message("この地域名はファイル名に使えません。\n" + regionName);
        return false;
    }
    state.strPrefDb = regionName + ".mdb";
    state.strPrefDbPath = joinPath(state.strDbDir, state.strPrefDb);
    if (!fileExists(state.strPrefDbPath)) {
        person.message("地域別ＤＢが見つかりません。");
        return false;
    }
    if (!person.askOkCancel(state.strPrefDb + "を削除していいですか？"))
        return false;

    try {
        Database base = Database::open(state.strBaseDbPath);
        // The catalog row goes only if the file goes too: the transaction stays
        // open while the file is removed and is rolled back if that fails.
        Transaction tx(base);
        Statement del = base.prepare("DELETE FROM " + quoteIdentifier(state.strDbListTable) +
                                     " WHERE fldDbName = ?1");
        del.bind(1, regionName);
        del.run();
        removeFile(state.strPrefDbPath);
        tx.commit();
    } catch (const Error& e) {
        person.message(standardErrorText(e));
        return false;
    } catch (const std::exception& e) {
        reportError(person, e);
        return false;
    }
    return true;
}

}  // namespace mrk2
