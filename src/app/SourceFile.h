#pragma once
#include <optional>
#include <string>
#include <vector>

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

// Keeps each file once, at its first place in the list: the same path again, or
// the same file reached through another path (the same device and inode, as a
// link or "../csv/a.csv" gives it). Returns the entries taken out. Loading a file
// twice would store every one of its rows twice.
std::vector<SourceFile> dropRepeatedSources(std::vector<SourceFile>& sources);

}  // namespace mrk2
