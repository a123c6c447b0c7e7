#include "import/ImportStarter.h"

#include <chrono>

#include "base/EndMessage.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "base/WriterLock.h"
#include "data/Database.h"
#include "data/PendingRegionChange.h"
#include "data/RegionChangeSummary.h"
#include "data/RegionComparison.h"
#include "data/RegionSnapshot.h"
#include "data/SchemaNames.h"
#include "import/ImportRun.h"

namespace mrk2 {

namespace {

// A region takes its postal rows from the base database: without POST every
// file would be loaded only for the run to fail at its end.
void checkBaseDatabase(const std::string& basePath) {
    if (!fileExists(basePath))
        throw Refusal("基本データベースが見つかりません。\n" + basePath);
    Database db =
        inContext(basePath, [&] { return Database::open(basePath, Database::Mode::ReadOnly); });
    if (!inContext(basePath, [&] { return db.tableExists(tables::kPost); })) {
        throw Refusal("基本データベースに郵便番号テーブル " + std::string(tables::kPost) +
                      " がありません。先に全国版郵便番号CSVから"
                      "作成して下さい (郵便番号データの「更新」、mrk2cli postal-build)。\n" +
                      basePath);
    }
}

// The region as it is before a run; empty when there is none yet or it cannot
// be read (the run itself says why).
RegionSnapshot snapshotOrEmpty(const std::string& regionPath) {
    try {
        return fileExists(regionPath) ? readRegionSnapshot(regionPath) : RegionSnapshot{};
    } catch (const std::exception&) {
        return {};
    }
}

std::string changeSummary(const RegionSnapshot& before, const std::string& regionPath,
                          std::chrono::steady_clock::time_point started) {
    const std::string time = elapsedTimeText(started);
    try {
        const RegionSnapshot after = readRegionSnapshot(regionPath);
        return regionChangeSummaryText(compareRegions(before, after)) + uncodedTownsText(after) +
               time;
    } catch (const std::exception&) {
        return time;
    }
}

}  // namespace

Outcome prepareImportRun(ImportRequest& request, Person& person) {
    const auto refuse = [&](const std::string& text) {
        person.message(text);
        return failure(Refusal(text));
    };
    if (request.sources.empty())
        return refuse("CSVファイルを選択してください。");
    try {
        checkRegionName(request.region);
    } catch (const Refusal& r) {
        return refuse(r.what());
    }
    const std::vector<SourceFile> dropped = dropRepeatedSources(request.sources);
    if (!dropped.empty()) {
        std::string text = "同じファイルが重複して指定されています。一度だけ読み込みます:";
        for (const SourceFile& f : dropped)
            text += "\n" + f.path();
        person.message(text);
    }
    try {
        checkBaseDatabase(files::baseDbPath(request.dbDir));
    } catch (const std::exception& e) {
        return refuse(errorText(e));
    }
    // The run asks nothing once it has begun: a file that is not there is asked
    // about now, and the answer goes with the request.
    SourceReader sources;
    for (const SourceFile& f : request.sources) {
        try {
            if (sources.exists(f))
                continue;
        } catch (const Error&) {
            continue;  // a damaged archive: the run fails naming it
        }
        if (!person.askYesNo(f.path() + "が見つかりません。継続しますか？")) {
            const Outcome stopped = Outcome::stopped();
            person.message(notCompletedMessage(stopped));
            return stopped;
        }
        request.skipMissingFiles = true;
    }
    return Outcome::completed();
}

Outcome startImportRun(const ImportRequest& request, Person& person, RunHost& host) {
    ImportRequest run = request;
    Outcome ready = prepareImportRun(run, person);
    if (!ready.succeeded())
        return ready;
    std::optional<WriterLock> lock;
    try {
        lock.emplace(WriterLock::take(request.dbDir));
        if (auto setAside = finishLeftRegionChange(request.dbDir))
            person.message(*setAside);
    } catch (const std::exception& e) {
        Outcome refused = failure(e);
        refused.kind = Outcome::Kind::Refused;  // another writer, or no lock file: nothing began
        tellOutcome(person, refused);
        return refused;
    }
    const std::string regionPath = files::regionDbPath(request.dbDir, request.region);
    const auto started = std::chrono::steady_clock::now();
    std::optional<RegionSnapshot> before;
    if (request.summaryInEndMessage)
        before = snapshotOrEmpty(regionPath);
    Outcome outcome = host.run(
        [&](StopControl& stop, ProgressSink& sink) { return runImport(run, stop, sink); }, true);
    // The time is the run's, taken before anyone reads a message; and the
    // directory is free for other writers while the end messages wait for OK.
    if (outcome.succeeded())
        outcome.summary =
            before ? changeSummary(*before, regionPath, started) : elapsedTimeText(started);
    lock.reset();
    if (!outcome.succeeded()) {
        tellOutcome(person, outcome);
        person.message(notCompletedMessage(outcome));
        return outcome;
    }
    // One end message: the run's notes (row kinds, positions left out) go with it.
    std::string text = completedMessage(before ? outcome.summary : "");
    for (const std::string& note : outcome.report)
        text += "\n\n" + note;
    person.message(text);
    return outcome;
}

}  // namespace mrk2
