#pragma once
#include <ostream>
#include <string>

#include "data/RegionComparison.h"
#include "data/RegionSnapshot.h"

namespace mrk2::cli {

// The counts of a comparison, one line each: sources, towns, rows, tables.
void printComparisonSummary(std::ostream& out, const RegionComparison& c);
// Every source and town that changed, tab-separated: 区分, 名前, 前, 後.
// A line naming the towns stored without a municipality code, when there are any.
void printUncodedTowns(std::ostream& out, const RegionSnapshot& region);

void printComparisonDetails(std::ostream& out, const RegionComparison& c);

// The region as it is before a run (empty when there is no database yet, or it
// cannot be read: the run itself will say why).
RegionSnapshot snapshotBeforeRun(const std::string& dbPath);
// After a successful run: what it changed, as the summary on stdout, and the
// run's time line last.
void printRunSummary(const RegionSnapshot& before, const std::string& dbPath,
                     const std::string& runTime);

}  // namespace mrk2::cli
