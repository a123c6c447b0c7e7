#pragma once
#include <string>

#include "data/RegionComparison.h"

namespace mrk2 {

// What a run changed in a region, one line each (sources, towns, rows, per-town
// tables, before → after): what mrk2cli prints after register and update, and
// what the desktop tool's end message carries.
std::string regionChangeSummaryText(const RegionComparison& c);

}  // namespace mrk2
