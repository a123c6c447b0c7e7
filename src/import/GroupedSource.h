#pragma once
#include <cstdint>
#include <string>

namespace mrk2 {

// Where the lines of one file came from, as their POSITION rows record it.
struct GroupedSource {
    std::int64_t srcId = 0;
};

}  // namespace mrk2
