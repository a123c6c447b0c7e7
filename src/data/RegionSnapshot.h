#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mrk2 {

// What a region database holds, in the terms an operator compares two versions
// by: its sources, its towns with their block counts, its rows and tables.
struct RegionSnapshot {
    struct Source {
        std::int64_t id = 0;
        std::string path;  // directory and file name as recorded
        std::optional<std::string> date;
    };
    struct Town {
        std::string pref, muni;
        std::optional<std::string> name;
        std::int64_t blocks = 0;  // over all of the town's POSITION rows
        std::string fullName() const { return pref + muni + name.value_or(""); }
        bool operator<(const Town& o) const;
    };

    std::vector<Source> sources;  // in id order
    std::vector<Town> towns;      // sorted by prefecture, municipality, town
    std::int64_t rows = 0;        // block rows over all per-town tables
    std::int64_t tables = 0;      // per-town tables
    // Towns whose municipality no code was found for (a name the municipality
    // master does not know), and those municipalities' names.
    std::int64_t townsWithoutCode = 0;
    std::vector<std::string> municipalitiesWithoutCode;
};

// Reads a region database without changing it. Throws mrk2::Error.
RegionSnapshot readRegionSnapshot(const std::string& dbPath);

}  // namespace mrk2
