#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/RunProgress.h"
#include "base/SourceFile.h"
#include "data/Database.h"
#include "import/ConfiguredColumns.h"
#include "import/GroupedSource.h"
#include "import/MunicipalityCoverage.h"
#include "import/RowKinds.h"

namespace mrk2 {

class TownSort;

// Loads one position-reference source (a CSV file or archive member) into
// POSITION_TMP of the run's work database and records it in POSITION管理; its
// prefecture joins `prefs`. A missing file is skipped when `skipMissing` (the
// person's answer, given before the run) and an error otherwise. A Stop ends
// the load early. Throws
// mrk2::Error naming the file.
void loadPositionCsv(const std::string& dbPath, const SourceFile& source,
                     const ConfiguredColumns& layout, RunProgress& progress,
                     std::vector<std::string>& prefs, bool skipMissing);

// What became of a file's lines.
struct LoadedFile {
    enum class Where {
        Skipped,  // the file was missing and the person chose to go on without it
        Memory,   // grouped by town in the TownSort
        Staging   // in POSITION_TMP: no TownSort, or a line it cannot keep
    };
    Where where = Where::Memory;
    GroupedSource source;
    std::int64_t rows = 0;    // the rows read
    std::string layout;       // OpenedSource::layout
    SourceCoverage coverage;  // the municipalities of its rows
    RowKinds kinds;           // the rows read, by kind
    // What its rows told after them (see SourceRows).
    std::optional<std::string> note;
    bool toldByKind = false;
    std::int64_t withoutPosition = 0;
};

// The same on a connection the run holds, within its transaction: the file's
// lines are grouped by town in `groups`; without one, or at a line it cannot
// keep, the file is staged in POSITION_TMP (created here) instead, for
// getUniqueTable.
// `sources` opens the file (or archive member) and keeps archives open for the
// next.
LoadedFile loadPositionFile(Database& db, const SourceFile& source, const ConfiguredColumns& layout,
                            RunProgress& progress, std::vector<std::string>& prefs,
                            TownSort* groups, SourceReader& sources, bool skipMissing);

}  // namespace mrk2
