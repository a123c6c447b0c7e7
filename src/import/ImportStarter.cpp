#include "import/ImportStarter.h"

#include "app/ErrorReport.h"
#include "app/FileNames.h"
#include "app/Paths.h"
#include "app/RegionName.h"
#include "app/WriterLock.h"
#include "data/Database.h"
#include "data/SchemaNames.h"
#include "import/ImportRun.h"

namespace mrk2 {

namespace {

// A region takes its postal rows from the base database: without POST every
// file would be loaded only for the run to fail at its end.
std::optional<std::string> baseDbProblem(const std::string& basePath) {
    if (!fileExists(basePath))
        return "基本データベースが見つかりません。\n" + basePath;
    try {
        Database db = Database::open(basePath, Database::Mode::ReadOnly);
        if (!db.tableExists(tables::kPost)) {
            return "基本データベースに郵便番号テーブル " + std::string(tables::kPost) +
                   " がありません。先に全国版郵便番号CSVから"
                   "作成して下さい (郵便番号データの「更新」、mrk2cli postal-build)。\n" +
                   basePath;
        }
    } catch (const Error& e) {
        return standardErrorText(e, basePath);
    }
    return std::nullopt;
}

}  // namespace

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
    if (auto problem = baseDbProblem(files::baseDbPath(request.dbDir))) {
        person.message(*problem);
        return std::nullopt;
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
