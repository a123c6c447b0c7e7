#include "import/BatchStarter.h"

#include "base/ErrorReport.h"
#include "data/OperationStarter.h"

namespace mrk2 {

BatchOutcome startBatchImport(const BatchRequest& request, Person& person, RunHost& host,
                              BatchProgressSink& sink) {
    BatchOutcome result;
    WriterOperation op;
    op.dbDir = request.dbDir;
    op.check = [&](Person&) {
        if (request.paths.empty())
            throw Refusal("CSVファイルを選択してください。");
        return Outcome::completed();
    };
    op.stoppable = true;
    op.run = [&](StopControl& stop, ProgressSink&) {
        BatchOutcome run = runBatchImport(request, stop, sink);
        result.regions = std::move(run.regions);
        return run.outcome;
    };
    op.tell = [&](Person& told, const Outcome& outcome) {
        tellOutcome(told, outcome);
        for (const BatchRegion& r : result.regions) {
            for (const std::string& text : r.outcome.report)
                told.message(r.region + ": " + text);
        }
    };
    result.outcome = startWriterOperation(op, person, host);
    return result;
}

}  // namespace mrk2
