#pragma once
#include <string>

namespace mrk2 {

class LaterIndexes;

// The work database of a register run over an existing region database: a new
// file with only the tables that the run keeps (definitions, rows, indexes,
// counters), instead of a copy of the whole file whose position tables the run
// would then drop one by one. The run rebuilds the position tables and the
// region's POST, so neither is copied; every other table is. When the region
// database holds objects a table copy does not carry, the whole file is copied
// as before. The kept tables' indexes go to `later` (LaterIndexes.h).
// Throws mrk2::Error.
void makeRegisterWorkDatabase(const std::string& regionPath, const std::string& workPath,
                              LaterIndexes* later);

}  // namespace mrk2
