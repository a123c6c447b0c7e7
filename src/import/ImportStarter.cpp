#include "import/ImportStarter.h"

#include "app/RegionName.h"
#include "import/ImportRun.h"

namespace mrk2 {

std::optional<Outcome> startImportRun(const ImportRequest& request, StopControl& stop,
                                      Person& person) {
    if (request.sources.empty()) {
        person.message("CSVファイルを選択してください。");
        return std::nullopt;
    }
    if (!isUsableRegionName(request.region)) {
        person.message("この地域名はファイル名に使えません。\n" + request.region);
        return std::nullopt;
    }
    Outcome outcome = runImport(request, stop, person);
    person.message(outcome.succeeded() ? "処理を完了しました。" : "処理を中止しました。");
    return outcome;
}

}  // namespace mrk2
