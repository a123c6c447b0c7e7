#pragma once
#include <cstddef>

namespace mrk2 {

// The tool's documented capacities. They are kept although our lists could grow,
// because region databases and operators' scripts were made with these bounds.
inline constexpr std::size_t kMaxSourceFiles = 1000;
inline constexpr std::size_t kMaxPrefectures = 50;
inline constexpr std::size_t kMaxFixedTerms = 100;
inline constexpr std::size_t kMaxImportPrefs = 1000;
inline constexpr std::size_t kMaxRemovedSources = 10000;
inline constexpr int kMaxTownTableNumber = 9999;

}  // namespace mrk2
