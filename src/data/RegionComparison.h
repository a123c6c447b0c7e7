#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/RegionSnapshot.h"

namespace mrk2 {

// What changed between two versions of a region: before a run and after it, or
// any two region databases.
struct RegionComparison {
    struct Count {
        std::int64_t before = 0, after = 0;
    };
    struct TownChange {
        std::string name;  // prefecture + municipality + town
        std::int64_t blocksBefore = 0, blocksAfter = 0;
    };

    Count sources, towns, rows, tables;
    // Sources by path: present only after, only before, or in both but loaded
    // anew (another id or another file date).
    std::vector<std::string> sourcesAdded, sourcesRemoved, sourcesReloaded;
    std::vector<TownChange> townsAdded, townsRemoved, blocksChanged;

    bool unchanged() const;
};

RegionComparison compareRegions(const RegionSnapshot& before, const RegionSnapshot& after);

}  // namespace mrk2
