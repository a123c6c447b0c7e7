#include "postal/NationalPostalBuild.h"

#include <chrono>

#include "base/EndMessage.h"
#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "base/RunProgress.h"
#include "data/Compaction.h"
#include "data/Database.h"
#include "data/LaterIndexes.h"
#include "data/OperationStarter.h"
#include "data/TableCopy.h"
#include "data/WorkFiles.h"
#include "postal/PostalBuildSummary.h"
#include "postal/PostalTable.h"

namespace mrk2 {

namespace {

// The postal CSV the request names: the file itself, or the one CSV member of
// an archive as Japan Post publishes it (ken_all.zip, utf_ken_all.zip).
SourceFile checkRequest(const NationalPostalRequest& request) {
    if (request.csvPath.empty())
        throw Refusal("全国版郵便番号CSVファイルが指定されていません。");
    refuseWhatIsNoReadableFile(request.csvPath);
    if (!fileExists(request.csvPath))
        throw Refusal("全国版郵便番号CSVファイルが見つかりません。");
    const std::string base = files::baseDbPath(request.dbDir);
    if (!fileExists(base))
        throw Refusal("基本データベースが見つかりません。\n" + base);
    std::vector<SourceFile> csv = sourcesOf(request.csvPath);
    if (csv.size() != 1) {
        throw Refusal(
            "アーカイブには全国版郵便番号CSVファイルが一つだけ入っている必要があります (" +
            std::to_string(csv.size()) + " 個あります)。\n" + request.csvPath);
    }
    return csv.front();
}

void build(const NationalPostalRequest& request, const SourceFile& csv, RunProgress& progress,
           const std::string& work) {
    const std::string base = files::baseDbPath(request.dbDir);
    SourceReader sources;
    progress.report().bytesTotal = sources.size(csv);
    progress.step(ProgressStep::BuildingNationalPostal);
    LaterIndexes later;
    inContext(base, [&] {
        removeDatabaseFiles(work);
        // Opening the base database once lets SQLite roll back a journal that a
        // killed catalog write left, so the copy is a committed state.
        Database::open(base, Database::Mode::ReadWrite).close();
        // Every table but POST, which is built anew: a copy of the whole file
        // would leave the old POST's pages free and need a compaction.
        bool copied = copyTablesToNewDatabase(
            base, work, [](const std::string& table) { return tableNameKey(table) != "post"; },
            &later);
        if (!copied)
            copyFile(base, work);
    });
    // The indexes come after all the tables, as in a compacted copy, and idxPost
    // is built once from the loaded rows (LaterIndexes.h).
    createPostTable(work, &later);
    progress.beginFile(1, fileNameOf(csv.path()), 0);
    loadPostalCsv({work, csv, request.startLine, request.columns}, sources, progress);
    inContext(work, [&] {
        Database db = Database::open(work);
        db.useFastUnsafePragmas();
        later.createAll(db);
    });
    progress.step(ProgressStep::CompactingBase);
    inContext(base, [&] {
        replaceWithWorkDatabase(work, files::postalCompactedPath(request.dbDir), base);
    });
}

}  // namespace

Outcome buildNationalPostal(const NationalPostalRequest& request, StopControl& stop,
                            ProgressSink& sink) {
    // The work copy lives beside the base database, under the directory's lock:
    // two builds for two directories never share it.
    const std::string work = files::postalWorkPath(request.dbDir);
    RunProgress progress(sink, stop);
    Outcome outcome = Outcome::completed();
    try {
        const SourceFile csv = checkRequest(request);
        build(request, csv, progress, work);
    } catch (const std::exception& e) {
        outcome = failure(e);
    }
    // From here the base database is the new one (or the old one after a failure).
    try {
        removeDatabaseFiles(work);
    } catch (const std::exception& e) {
        outcome.report.push_back(errorText(e, work));
    }
    return outcome;
}

Outcome startNationalPostalBuild(const NationalPostalRequest& request, Person& person,
                                 RunHost& host) {
    WriterOperation op;
    op.dbDir = request.dbDir;
    op.check = [&](Person&) {
        checkRequest(request);
        return Outcome::completed();
    };
    op.run = [&](StopControl& stop, ProgressSink& sink) {
        const std::string base = files::baseDbPath(request.dbDir);
        const auto started = std::chrono::steady_clock::now();
        const std::int64_t before = postRowCount(base);
        Outcome outcome = buildNationalPostal(request, stop, sink);
        if (outcome.succeeded())
            outcome.summary = postalBuildSummaryText(before, postRowCount(base), started);
        return outcome;
    };
    op.tell = [&](Person& told, const Outcome& outcome) {
        tellOutcome(told, outcome);
        if (outcome.succeeded() && request.summaryInEndMessage)
            told.message(completedMessage(outcome.summary));
    };
    return startWriterOperation(op, person, host);
}

}  // namespace mrk2
