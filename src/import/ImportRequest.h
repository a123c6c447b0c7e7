#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/SourceFile.h"
#include "import/PositionLoader.h"

namespace mrk2 {

inline constexpr std::size_t kDefaultGroupingBudget = 48u << 20;

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
    PositionLayout layout;            // start line and columns of the position files
    std::int32_t minRecs = 1000;      // MINRECS
    // A listed file that is not there: passed over (the person said so before
    // the run began) or, when false, the run fails naming it.
    bool skipMissingFiles = false;
    // The bytes of one file's lines a run keeps in memory to write them straight
    // to their per-town tables; a larger file goes through the staging table.
    std::size_t groupingBudget = kDefaultGroupingBudget;
};

}  // namespace mrk2
