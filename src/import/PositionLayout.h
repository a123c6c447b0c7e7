#pragma once
#include <array>

namespace mrk2 {

// How the lines of a position file without a known header are read: the
// configured start line and columns.
struct PositionLayout {
    int startLine = 1;                                                  // first data line
    std::array<int, 12> columns{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // POSINFOFIELDNO
};

}  // namespace mrk2
