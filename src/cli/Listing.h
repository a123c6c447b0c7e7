#pragma once
#include <optional>
#include <string>

namespace mrk2::cli {

// One cell of a tab-separated listing: a tab or line break inside a name would
// break the columns, so they become blanks. NULL prints as an empty cell.
inline std::string listingCell(const std::optional<std::string>& text) {
    std::string out = text.value_or("");
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return out;
}

}  // namespace mrk2::cli
