#include "import/ImportStarter.h"

#include <chrono>
#include <optional>

#include "base/EndMessage.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "data/Database.h"
#include "data/OperationStarter.h"
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

// What the run changed, ending with its time. The run has completed: a region
// that cannot be read back for the account still is what the run made, so the
// account is the time alone rather than a failure.
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

// Everything the run needs from the person, settled before it begins (the list
// in ImportStarter.h). Yes to every missing file sets skipMissingFiles.
Outcome prepareImportRun(ImportRequest& request, Person& person) {
    if (request.sources.empty())
        throw Refusal("CSVファイルを選択してください。");
    checkRegionName(request.region);
    const std::vector<SourceFile> dropped = dropRepeatedSources(request.sources);
    if (!dropped.empty()) {
        std::string text = "同じファイルが重複して指定されています。一度だけ読み込みます:";
        for (const SourceFile& f : dropped)
            text += "\n" + f.path();
        person.message(text);
    }
    checkBaseDatabase(files::baseDbPath(request.dbDir));
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
        if (!person.askYesNo(f.path() + "が見つかりません。継続しますか？"))
            return Outcome::stopped();
        request.skipMissingFiles = true;
    }
    return Outcome::completed();
}

// The end: a failure or a Stop with its report and the last word; a completed
// run in one message with its notes (row kinds, positions left out). A refusal
// is its own last word.
void tellImportEnd(Person& person, const Outcome& outcome, bool withSummary) {
    if (!outcome.succeeded()) {
        tellOutcome(person, outcome);
        if (outcome.kind != Outcome::Kind::Refused)
            person.message(notCompletedMessage(outcome));
        return;
    }
    std::string text = completedMessage(withSummary ? outcome.summary : "");
    for (const std::string& note : outcome.report)
        text += "\n\n" + note;
    person.message(text);
}

}  // namespace

Outcome startImportRun(const ImportRequest& request, Person& person, RunHost& host) {
    ImportRequest run = request;
    const std::string regionPath = files::regionDbPath(request.dbDir, request.region);
    WriterOperation op;
    op.dbDir = request.dbDir;
    op.check = [&](Person& asked) { return prepareImportRun(run, asked); };
    op.stoppable = true;
    op.run = [&](StopControl& stop, ProgressSink& sink) {
        const auto started = std::chrono::steady_clock::now();
        std::optional<RegionSnapshot> before;
        if (request.summaryInEndMessage)
            before = snapshotOrEmpty(regionPath);
        Outcome outcome = runImport(run, stop, sink);
        // The time is the run's, taken before anyone reads a message.
        if (outcome.succeeded())
            outcome.summary =
                before ? changeSummary(*before, regionPath, started) : elapsedTimeText(started);
        return outcome;
    };
    op.tell = [&](Person& told, const Outcome& outcome) {
        tellImportEnd(told, outcome, request.summaryInEndMessage);
    };
    return startWriterOperation(op, person, host);
}

}  // namespace mrk2
