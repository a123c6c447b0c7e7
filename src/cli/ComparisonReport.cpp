#include "cli/ComparisonReport.h"

#include <exception>
#include <iostream>

#include "base/Error.h"
#include "base/Paths.h"
#include "cli/Listing.h"
#include "data/RegionChangeSummary.h"

namespace mrk2::cli {

void printComparisonSummary(std::ostream& out, const RegionComparison& c) {
    out << regionChangeSummaryText(c);
}

void printUncodedTowns(std::ostream& out, const RegionSnapshot& region) {
    out << uncodedTownsText(region);
}

void printComparisonDetails(std::ostream& out, const RegionComparison& c) {
    out << "区分\t名前\t前\t後\n";
    for (const auto& s : c.sourcesAdded)
        out << "ソース追加\t" << listingCell(s) << "\t\t\n";
    for (const auto& s : c.sourcesRemoved)
        out << "ソース削除\t" << listingCell(s) << "\t\t\n";
    for (const auto& s : c.sourcesReloaded)
        out << "ソース再読込\t" << listingCell(s) << "\t\t\n";
    auto towns = [&](const char* kind, const auto& list) {
        for (const auto& t : list)
            out << kind << '\t' << listingCell(t.name) << '\t' << t.blocksBefore << '\t'
                << t.blocksAfter << '\n';
    };
    towns("町追加", c.townsAdded);
    towns("町削除", c.townsRemoved);
    towns("街区数変化", c.blocksChanged);
}

RegionSnapshot snapshotBeforeRun(const std::string& dbPath) {
    if (!fileExists(dbPath))
        return {};
    // A file that cannot be read is no account to compare with; the run meets
    // it next and says why, once.
    try {
        return readRegionSnapshot(dbPath);
    } catch (const std::exception&) {
        return {};
    }
}

void printRunSummary(const RegionSnapshot& before, const std::string& dbPath,
                     const std::string& runTime) {
    try {
        const RegionSnapshot after = readRegionSnapshot(dbPath);
        printComparisonSummary(std::cout, compareRegions(before, after));
        printUncodedTowns(std::cout, after);
    } catch (const std::exception& e) {
        std::cerr << standardErrorText(asError(e), dbPath) << "\n";
    }
    std::cout << runTime << "\n";
}

}  // namespace mrk2::cli
