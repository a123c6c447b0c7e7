#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace mrk2 {

// What a region deletion takes away, read just before it does.
struct RegionDeletionFacts {
    std::string region;
    std::string fileName;                // 東京.mdb
    std::optional<std::uint64_t> bytes;  // the file's size; none when there was no file
    std::optional<std::int64_t> towns;   // none when the file could not be read
    std::optional<std::int64_t> rows;
    bool catalogRow = false;  // ＤＢ一覧 listed the region
};

// Reads the facts of the region about to be deleted. Throws nothing: what
// cannot be read is left out of the summary.
RegionDeletionFacts describeRegionToDelete(const std::string& dbDir, const std::string& region);

// What a deletion removed, one line each, ending with the time it took: what
// mrk2cli delete prints and the end message carries.
std::string regionDeletionSummaryText(const RegionDeletionFacts& facts,
                                      std::chrono::steady_clock::time_point started);

}  // namespace mrk2
