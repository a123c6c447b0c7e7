#pragma once
#include <string>

#include "data/RegionComparison.h"
#include "data/RegionSnapshot.h"

namespace mrk2 {

// What a run changed in a region, one line each (sources, towns, rows, per-town
// tables, before → after): what mrk2cli prints after register and update, and
// what the desktop tool's end message carries.
std::string regionChangeSummaryText(const RegionComparison& c);

// A line naming the towns stored without a municipality code (a name the
// municipality master does not know), when there are any; else "".
std::string uncodedTownsText(const RegionSnapshot& region);

}  // namespace mrk2
