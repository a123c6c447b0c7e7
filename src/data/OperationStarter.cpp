#include "data/OperationStarter.h"

#include <optional>
#include <utility>

#include "base/ErrorReport.h"
#include "base/WriterLock.h"
#include "data/PendingRegionChange.h"

namespace mrk2 {

namespace {

// A host for the short operations: the person's own thread, no Stop offered,
// nothing shown of the progress.
class RunInPlace : public RunHost, private ProgressSink {
  public:
    Outcome run(const Work& work, bool) override {
        StopControl stop;
        return work(stop, *this);
    }

  private:
    void progress(const Progress&) override {}
};

// The directory as a writer holds it: the lock first, since only its holder
// may finish what a killed writer left, then that change finished.
struct TakenDirectory {
    WriterLock lock;
    std::optional<std::string> setAside;  // a record set aside, for the person
};

TakenDirectory takeDirectory(const std::string& dbDir) {
    WriterLock lock = WriterLock::take(dbDir);
    return {std::move(lock), finishLeftRegionChange(dbDir)};
}

Outcome refused(const std::exception& e, const std::string& context) {
    Outcome outcome = failure(e, context);
    outcome.kind = Outcome::Kind::Refused;
    return outcome;
}

// Checks, takes the directory and runs; the lock is let go on return, before
// anyone is told anything.
Outcome checkAndRun(const WriterOperation& op, Person& person, RunHost& host) {
    try {
        if (op.check) {
            Outcome ready = op.check(person);
            if (ready.kind != Outcome::Kind::Completed)
                return ready;
        }
    } catch (const std::exception& e) {
        return refused(e, op.context);
    }
    std::optional<TakenDirectory> taken;
    try {
        taken.emplace(takeDirectory(op.dbDir));
    } catch (const std::exception& e) {
        return refused(e, op.context);
    }
    if (taken->setAside)
        person.message(*taken->setAside);
    // The host gets an outcome, never an exception: a worker thread has no one
    // to hand it to.
    return host.run(
        [&](StopControl& stop, ProgressSink& sink) {
            try {
                return op.run(stop, sink);
            } catch (const std::exception& e) {
                return failure(e, op.context);  // a Refusal refuses, anything else fails
            }
        },
        op.stoppable);
}

}  // namespace

Outcome startWriterOperation(const WriterOperation& operation, Person& person, RunHost& host) {
    const Outcome outcome = checkAndRun(operation, person, host);
    if (operation.tell)
        operation.tell(person, outcome);
    else
        tellOutcome(person, outcome);
    return outcome;
}

Outcome startWriterOperation(const WriterOperation& operation, Person& person) {
    RunInPlace here;
    return startWriterOperation(operation, person, here);
}

void settleDatabaseDirectory(const std::string& dbDir, Person& person) {
    std::optional<std::string> setAside;
    try {
        if (dbDir.empty() || !hasLeftRegionChange(dbDir))
            return;
        setAside = takeDirectory(dbDir).setAside;  // and the lock goes again
    } catch (const std::exception&) {
        // A writer at work (the change is still its own), or a fault whoever
        // reads the directory next meets and tells where it matters.
        return;
    }
    if (setAside)
        person.message(*setAside);
}

}  // namespace mrk2
