#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace mrk2 {

// The rows of the base database's POST; 0 when it has none or cannot be read
// (a base database before its first build). Throws nothing.
std::int64_t postRowCount(const std::string& basePath);

// What a national postal build changed: POST's rows before → after and the
// time it took. What mrk2cli postal-build prints and the end message carries.
std::string postalBuildSummaryText(std::int64_t rowsBefore, std::int64_t rowsAfter,
                                   std::chrono::steady_clock::time_point started);

}  // namespace mrk2
