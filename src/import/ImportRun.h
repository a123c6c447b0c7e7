#pragma once
#include <string>

#include "app/Outcome.h"
#include "app/Person.h"
#include "app/StopControl.h"
#include "import/ImportRequest.h"

namespace mrk2 {

// The whole import run for one region: works on a copy of the region database
// and replaces the region database with the compacted, verified copy only when
// everything went well. Every failure is told to the person before it returns;
// the end message is the starter's (ImportStarter.h).
Outcome runImport(const ImportRequest& request, StopControl& stop, Person& person);

// A new, empty database file at `path` (an old file there is removed first).
// Throws mrk2::Error naming the file.
void createEmptyDatabase(const std::string& path);

}  // namespace mrk2
