#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mrk2 {

// What a check of one region database found: every fault, one line each, and
// the counts as far as its tables allow; work files of an interrupted run
// beside it (harmless, since the next run replaces them, but worth knowing),
// and whether a writer is at work in the directory now, whose own they then are.
struct RegionCheck {
    std::vector<std::string> faults;
    std::int64_t sources = 0, towns = 0, tables = 0, rows = 0, postal = 0;
    std::vector<std::string> workFiles;
    bool writerRunning = false;

    bool ok() const { return faults.empty(); }
};

// Verifies the database of `region` in `dbDir`: SQLite's integrity check, the
// tables a region has, and the links between them (POSITION to POSITION管理,
// the per-town tables to POSITION, table names by their rule). A database that
// cannot be opened or read is a fault like the others. Reads only.
RegionCheck checkRegion(const std::string& dbDir, const std::string& region);

}  // namespace mrk2
