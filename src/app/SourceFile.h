#pragma once
#include <optional>
#include <string>

namespace mrk2 {

// One position-reference CSV file: the pair (directory, file name) identifies it,
// compared exactly.
struct SourceFile {
    std::string dir;
    std::string file;
    bool operator==(const SourceFile&) const = default;
};

// Whether a loaded source must be loaded again: its file is gone, or its date
// differs from the one recorded when it was loaded. An older date counts as
// much as a newer one: a file put back from an older copy holds other data.
bool sourceChanged(const std::optional<std::string>& recordedDate,
                   const std::optional<std::string>& currentDate);

}  // namespace mrk2
