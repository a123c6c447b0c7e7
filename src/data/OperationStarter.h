#pragma once
#include <functional>
#include <string>

#include "base/Outcome.h"
#include "base/Person.h"
#include "base/RunHost.h"

namespace mrk2 {

// An operation that changes files of a database directory (init, register and
// update, the national build, deletion, the postal build, a learning dictionary
// save) as it hands itself to the one starter: its checks, its work and how it
// tells its end. The starter knows no operation; each brings its own steps.
struct WriterOperation {
    using Check = std::function<Outcome(Person& person)>;
    using Tell = std::function<void(Person& person, const Outcome& outcome)>;

    std::string dbDir;  // whose writer lock (WriterLock.h) the operation holds
    // Names what a failure's report is about (a path), in place of what the
    // error names itself; empty: the error's own.
    std::string context;
    // On the person's thread, before anything is touched: may tell and ask.
    // Throws (a Refusal, or an error reading what it checks) when the request
    // cannot start; returns anything but Completed to end the start there as it
    // is (a No to a question: Stopped; a Cancel: NothingToDo). Empty: no check.
    Check check;
    // The work, under the lock. A Refusal it throws says it changed nothing;
    // anything else it throws comes after it undid its own half.
    RunHost::Work run;
    bool stoppable = false;  // whether the person is offered a Stop
    // After the lock is let go: how it ended, for the person. Empty: the
    // outcome's report, in order.
    Tell tell;
};

// Starts `operation`, always in this order: the check; the directory's writer
// lock; what a killed writer left half done is finished (PendingRegionChange.h),
// a record set aside told; the run on `host`; the lock let go; the telling.
// Failures map one way: Refused when nothing began (the check said no, another
// writer holds the lock, the left change could not be finished, or the run
// refused); Failed when the run began and failed (its own half undone);
// Stopped for the person's Stop or a No to the check's question.
Outcome startWriterOperation(const WriterOperation& operation, Person& person, RunHost& host);

// The same for an operation short enough to run on the person's own thread,
// with no Stop and no progress shown.
Outcome startWriterOperation(const WriterOperation& operation, Person& person);

// For a command at its start and the desktop tool's region list: when a killed
// writer left a change recorded and no writer holds the lock now, takes it and
// finishes the change; a record set aside is told to `person`. Any other fault
// stays untold here: whoever reads the directory next meets it where it matters.
void settleDatabaseDirectory(const std::string& dbDir, Person& person);

}  // namespace mrk2
