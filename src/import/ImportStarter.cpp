#include "import/ImportStarter.h"

#include "app/ErrorReport.h"
#include "app/Paths.h"
#include "app/RegionName.h"
#include "app/WriterLock.h"
#include "import/ImportRun.h"

namespace mrk2 {

std::optional<Outcome> startImportRun(const ImportRequest& request, StopControl& stop,
                                      Person& person) {
    if (request.sources.empty()) {
        person.message("CSVファイルを選択してください。");
        return std::nullopt;
    }
    if (auto problem = regionNameProblem(request.region)) {
        person.message(*problem);
        return std::nullopt;
    }
    ImportRequest run = request;
    const std::vector<SourceFile> dropped = dropRepeatedSources(run.sources);
    if (!dropped.empty()) {
        std::string text = "同じファイルが重複して指定されています。一度だけ読み込みます:";
        for (const SourceFile& f : dropped)
            text += "\n" + joinPath(f.dir, f.file);
        person.message(text);
    }
    std::optional<WriterLock> lock;
    try {
        lock.emplace(WriterLock::take(request.dbDir));
    } catch (const std::exception& e) {
        reportError(person, e);
        return std::nullopt;
    }
    Outcome outcome = runImport(run, stop, person);
    person.message(outcome.succeeded() ? "処理を完了しました。" : "処理を中止しました。");
    return outcome;
}

}  // namespace mrk2
