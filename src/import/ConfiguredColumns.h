#pragma once
#include <array>

namespace mrk2 {

// The operator's settings for a position file whose header this tool does not
// know: the line its data starts on and the column of each value.
struct ConfiguredColumns {
    int startLine = 1;                                                  // first data line
    std::array<int, 12> columns{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // POSINFOFIELDNO
};

}  // namespace mrk2
