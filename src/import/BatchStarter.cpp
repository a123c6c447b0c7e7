#include "import/BatchStarter.h"

#include <optional>

#include "base/ErrorReport.h"
#include "base/WriterLock.h"
#include "data/PendingRegionChange.h"

namespace mrk2 {

BatchOutcome startBatchImport(const BatchRequest& request, Person& person, RunHost& host,
                              BatchProgressSink& sink) {
    BatchOutcome result;
    if (request.paths.empty()) {
        result.outcome = failure(Refusal("CSVファイルを選択してください。"));
        tellOutcome(person, result.outcome);
        return result;
    }
    std::optional<WriterLock> lock;
    try {
        lock.emplace(WriterLock::take(request.dbDir));
        if (auto setAside = finishLeftRegionChange(request.dbDir))
            person.message(*setAside);
    } catch (const std::exception& e) {
        result.outcome = failure(e);
        result.outcome.kind = Outcome::Kind::Refused;  // another writer: nothing began
        tellOutcome(person, result.outcome);
        return result;
    }
    result.outcome = host.run(
        [&](StopControl& stop, ProgressSink&) {
            BatchOutcome run = runBatchImport(request, stop, sink);
            result.regions = std::move(run.regions);
            return run.outcome;
        },
        true);
    lock.reset();  // other writers may go on while the face shows how it ended
    tellOutcome(person, result.outcome);
    for (const BatchRegion& r : result.regions) {
        for (const std::string& text : r.outcome.report)
            person.message(r.region + ": " + text);
    }
    return result;
}

}  // namespace mrk2
