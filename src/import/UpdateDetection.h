#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "import/RowKinds.h"

#include "base/SourceFile.h"

namespace mrk2 {

class Database;

// What an update run has to do after the detection: the number of sources whose
// data it removed, and the files to load (the changed ones followed by the new).
struct UpdatePlan {
    std::int32_t removed = 0;
    std::vector<SourceFile> loadList;
    RowKinds removedRows;  // the removed sources' rows, by kind
};

// Compares the wanted sources with POSITION管理 of the run's work database and
// removes the data of changed and dropped sources (changed: sourceChanged).
// Throws mrk2::Error naming the database.
UpdatePlan checkUpdatedFiles(const std::string& dbPath, const std::vector<SourceFile>& sources);

// Takes the given sources' rows out of POSITION, the per-town tables (dropping
// tables left empty) and POSITION管理. Throws mrk2::Error when any of it fails.
// Returns their rows by kind.
RowKinds deleteSources(Database& db, const std::vector<std::int64_t>& sourceIds);

}  // namespace mrk2
