#pragma once
#include <functional>

#include "base/Outcome.h"

namespace mrk2::ui {

// Runs an operation's work on a thread of its own and returns its outcome. The
// GUI thread meanwhile goes on with its events (repaints, timers, the progress
// window's 中止) in a local event loop; the work itself never lets an event
// loop run. Should the application quit meanwhile, this waits for the work to
// end, which a Stop makes short: a database is never left half-replaced.
Outcome runOnWorkerThread(const std::function<Outcome()>& work);

}  // namespace mrk2::ui
