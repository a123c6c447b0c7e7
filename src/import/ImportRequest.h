#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/MemoryBudget.h"
#include "base/SourceFile.h"
#include "import/PositionLoader.h"

namespace mrk2 {

enum class ImportMode {
    Register,  // "登録": every position table is rebuilt from the whole list
    Update     // "更新": only changed and new files are loaded, dropped ones removed
};

// Everything an import run needs, and nothing else: the run reads no window and
// no settings of its own.
struct ImportRequest {
    ImportMode mode = ImportMode::Register;
    std::string dbDir;                // holds the base and the region database
    std::string region;               // the region name, as the region box shows it
    std::vector<SourceFile> sources;  // the region's files, in order (at most 1000)
    ConfiguredColumns layout;         // start line and columns of the position files
    std::int32_t minRecs = 1000;      // MINRECS
    // A listed file that is not there: passed over (the person said so before
    // the run began) or, when false, the run fails naming it.
    bool skipMissingFiles = false;
    // The memory a run keeps a file's lines in, grouping them by town; a file
    // beyond it is sorted in runs through a work file (TownSort.h). 0 sends
    // every file through the staging table instead: the extraction's own
    // order, which tests compare against.
    std::size_t groupingBudget = defaultMemoryBudget();
    // A national build's budget, shared with the runs beside this one; when
    // set, it is used instead of groupingBudget.
    MemoryBudget* sharedMemory = nullptr;
    // The end message says what the run changed and how long it took (the
    // desktop tool; mrk2cli prints the same on stdout).
    bool summaryInEndMessage = false;
};

}  // namespace mrk2
