#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "data/LearningTable.h"
#include "support/TempDir.h"

namespace mrk2::test {

// A base database with a catalog of two regions (ids 1 and 2) and a dictionary
// filled by the test.
struct LearningDb {
    TempDir dir;
    std::string path = dir.file("mrk2.mdb");

    LearningDb();
    std::int64_t add(const std::string& reg, const std::string& tran,
                     std::optional<std::int64_t> dbNo = 0,
                     std::optional<std::int64_t> type = kLevelCity, std::int64_t count = 1);
    std::optional<LearningEntry> row(std::int64_t id);
    std::size_t rows();
};

}  // namespace mrk2::test
