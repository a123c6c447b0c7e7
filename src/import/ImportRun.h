#pragma once
#include <string>

#include "base/Outcome.h"
#include "base/ProgressSink.h"
#include "base/StopControl.h"
#include "import/ImportRequest.h"

namespace mrk2 {

// The whole import run for one region: works on a copy of the region database
// and replaces the region database with the compacted, verified copy only when
// everything went well. It asks nothing and tells nothing: a failure travels in
// the outcome, and the starter tells it with the end message (ImportStarter.h).
// It takes no writer lock: whoever starts it holds the directory's. Safe to run
// on any thread.
Outcome runImport(const ImportRequest& request, StopControl& stop, ProgressSink& sink);

// A new, empty database file at `path` (an old file there is removed first).
// Throws mrk2::Error naming the file.
void createEmptyDatabase(const std::string& path);

}  // namespace mrk2
