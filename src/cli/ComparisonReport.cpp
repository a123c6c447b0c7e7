#include "cli/ComparisonReport.h"

#include <exception>
#include <iostream>

#include "app/Error.h"
#include "app/Paths.h"
#include "cli/Listing.h"

namespace mrk2::cli {

namespace {

std::ostream& operator<<(std::ostream& out, const RegionComparison::Count& c) {
    return out << c.before << " → " << c.after;
}

}  // namespace

void printComparisonSummary(std::ostream& out, const RegionComparison& c) {
    out << "ソース: " << c.sources << " (再読込 " << c.sourcesReloaded.size() << ", 追加 "
        << c.sourcesAdded.size() << ", 削除 " << c.sourcesRemoved.size() << ")\n"
        << "町: " << c.towns << " (追加 " << c.townsAdded.size() << ", 削除 "
        << c.townsRemoved.size() << ", 街区数の変化 " << c.blocksChanged.size() << ")\n"
        << "行: " << c.rows << "\n"
        << "町別テーブル: " << c.tables << "\n";
}

void printUncodedTowns(std::ostream& out, const RegionSnapshot& region) {
    if (region.townsWithoutCode == 0)
        return;
    constexpr std::size_t kNamed = 5;
    const auto& names = region.municipalitiesWithoutCode;
    out << "市区町村コード不明の町: " << region.townsWithoutCode << " (";
    for (std::size_t i = 0; i < names.size() && i < kNamed; ++i)
        out << (i ? "、" : "") << names[i];
    if (names.size() > kNamed)
        out << " ほか " << names.size() - kNamed << " 市区町村";
    out << ")\n";
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
    try {
        return readRegionSnapshot(dbPath);
    } catch (const std::exception&) {
        return {};
    }
}

void printRunSummary(const RegionSnapshot& before, const std::string& dbPath) {
    try {
        const RegionSnapshot after = readRegionSnapshot(dbPath);
        printComparisonSummary(std::cout, compareRegions(before, after));
        printUncodedTowns(std::cout, after);
    } catch (const std::exception& e) {
        std::cerr << standardErrorText(asError(e), dbPath) << "\n";
    }
}

}  // namespace mrk2::cli
