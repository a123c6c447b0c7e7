#pragma once
#include <cstdint>
#include <string>

namespace mrk2 {

// Where a run stands. Each step of an operation says what it is doing; the
// loading steps also say which file and how far into it.
enum class ProgressStep {
    Starting,                // the region run has begun
    CreatingDatabase,        // a region without a database: an empty one is made
    CreatingTables,          // register: the position tables are made afresh
    Staging,                 // a file's lines go into the staging table
    Extracting,              // the staged lines become towns and per-town rows
    FilesDone,               // every file of the run is in
    CreatingPostal,          // register: the region's POST is built
    UpdatingPostal,          // update: the region's POST is refreshed
    Compacting,              // the region database is compacted and replaced
    BuildingNationalPostal,  // the national postal CSV goes into POST
    CompactingBase,          // the base database is compacted and replaced
};

// One report of a run's progress, complete in itself: a person can draw every
// line of its progress display from the latest report alone.
struct Progress {
    ProgressStep step = ProgressStep::Starting;
    std::string target;            // the database file the run builds ("東京.mdb")
    int file = 0;                  // the file being read, 1-based; 0 when none
    int files = 0;                 // the files the run reads
    std::string fileName;          // its name, without directory
    bool fileInArchive = false;    // a member of an archive: fileName is the member's name
    std::int64_t rows = 0;         // lines read from the current file
    std::int64_t runRows = 0;      // lines read in the whole run
    std::uint64_t bytesRead = 0;   // bytes read of all the run's files
    std::uint64_t bytesTotal = 0;  // the sizes of all the run's files added up
};

}  // namespace mrk2
