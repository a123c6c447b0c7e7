#include "data/RegionDeletion.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "base/EndMessage.h"
#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "data/OperationStarter.h"
#include "data/PendingRegionChange.h"
#include "data/RegionDeletionSummary.h"

namespace mrk2 {

namespace {

void removeRowAndFile(const RegionDeletionRequest& request, const std::string& regionPath) {
    const std::string basePath = files::baseDbPath(request.dbDir);
    Database base = Database::open(basePath);
    // The catalog row goes only if the file goes too: the base database is
    // taken for this connection alone before anything is removed (a reader that
    // does not let go fails the deletion here, with nothing touched), and the
    // transaction is rolled back if the file cannot be removed.
    std::optional<Transaction> locked;
    try {
        locked.emplace(base, Transaction::Lock::Exclusive);
    } catch (const Error& e) {
        throw e.in(basePath);
    }
    Transaction& tx = *locked;
    Statement del = base.prepare("DELETE FROM " + quoteIdentifier(kCatalogTable) + " WHERE " +
                                 quoteIdentifier(fields::kDbName) + " = ?1");
    del.bind(1, request.region);
    del.run();
    removeFile(regionPath);
    tx.commit();
}

// A kill between the file and the commit is finished by the next start
// (PendingRegionChange.h); a failure while alive is undone here and told.
void removeRegion(const RegionDeletionRequest& request, const std::string& regionPath) {
    recordRegionChange(request.dbDir, RegionChange::Delete, request.region);
    try {
        removeRowAndFile(request, regionPath);
    } catch (...) {
        // The file still there means the transaction rolled back: nothing was
        // deleted, and the record must not delete it later. Without the file,
        // the row is left to the record to take out.
        if (fileExists(regionPath))
            forgetRegionChange(request.dbDir, request.region);
        throw;
    }
    forgetRegionChange(request.dbDir, request.region);
}

// The region is there to delete: its file, or at least its catalog row. A row
// whose file is gone (a deletion cut off by a crash between the two) could
// otherwise never be taken out again.
bool regionExists(const RegionDeletionRequest& request, const std::string& regionPath) {
    if (fileExists(regionPath))
        return true;
    const std::vector<std::string> names = loadDbList(files::baseDbPath(request.dbDir));
    return std::find(names.begin(), names.end(), request.region) != names.end();
}

// Refuses a request that names no region that could be deleted.
void checkRequest(const RegionDeletionRequest& request, const std::string& regionPath) {
    if (request.region.empty())
        throw Refusal("地域名を選択して下さい。");
    checkRegionName(request.region);
    if (!regionExists(request, regionPath))
        throw Refusal("地域別ＤＢが見つかりません。");
}

}  // namespace

Outcome deleteRegion(const RegionDeletionRequest& request) {
    try {
        const std::string regionPath = files::regionDbPath(request.dbDir, request.region);
        // Checked again under the starter's lock: another writer may have gone first.
        checkRequest(request, regionPath);
        const auto started = std::chrono::steady_clock::now();
        const RegionDeletionFacts facts = describeRegionToDelete(request.dbDir, request.region);
        removeRegion(request, regionPath);
        Outcome outcome = Outcome::completed();
        outcome.summary = regionDeletionSummaryText(facts, started);
        return outcome;
    } catch (const std::exception& e) {
        return failure(e);
    }
}

Outcome startRegionDeletion(const RegionDeletionRequest& request, Person& person, RunHost& host) {
    WriterOperation op;
    op.dbDir = request.dbDir;
    op.check = [&](Person& asked) {
        checkRequest(request, files::regionDbPath(request.dbDir, request.region));
        if (!asked.askOkCancel(files::regionDbFileName(request.region) + "を削除していいですか？"))
            return Outcome::nothingToDo();
        return Outcome::completed();
    };
    op.run = [&](StopControl&, ProgressSink&) { return deleteRegion(request); };
    op.tell = [&](Person& told, const Outcome& outcome) {
        tellOutcome(told, outcome);
        if (outcome.kind == Outcome::Kind::Completed && request.summaryInEndMessage)
            told.message(completedMessage(outcome.summary));
    };
    return startWriterOperation(op, person, host);
}

}  // namespace mrk2
