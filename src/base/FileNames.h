#pragma once
#include <string>

namespace mrk2 {

// Every database file name the tool uses, in one place: the base database, a
// region's database and the work files of the runs that rebuild them.
namespace files {

inline constexpr const char* kBaseDb = "mrk2.mdb";
// The national postal build's work copy and its compacted result.
inline constexpr const char* kPostalWork = "mrk_123.mdb";
inline constexpr const char* kPostalCompacted = "mrk_cmpact.mdb";
inline constexpr const char* kDbExtension = ".mdb";
// The lock a writer of the directory holds (WriterLock.h).
inline constexpr const char* kWriterLock = "mrk2.lock";
// A region change under way, finished by whoever starts next (PendingRegionChange.h).
inline constexpr const char* kPendingChange = "mrk2.pending";
// A record whose entries no writer could have made, set aside unfinished.
inline constexpr const char* kRejectedChange = "mrk2.pending.rejected";
// What a region's work files add to its name.
inline constexpr const char* kRegionWorkSuffix = "_$$$";
inline constexpr const char* kRegionCompactedSuffix = "_cmpact";

// "東京" gives "東京.mdb".
std::string regionDbFileName(const std::string& region);

std::string baseDbPath(const std::string& dbDir);
std::string regionDbPath(const std::string& dbDir, const std::string& region);
// An import run's copy of the region database, and its compacted result.
std::string regionWorkPath(const std::string& dbDir, const std::string& region);
std::string regionCompactedPath(const std::string& dbDir, const std::string& region);
std::string postalWorkPath(const std::string& dbDir);
std::string postalCompactedPath(const std::string& dbDir);

}  // namespace files

}  // namespace mrk2
