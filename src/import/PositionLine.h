#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace mrk2 {

// The twelve values of a position line, in the order of POSINFOFIELDNO.
enum PositionEntry {
    Pref,
    Muni,
    Town,
    Block,
    CoordSystem,
    X,
    Y,
    Lat,
    Lon,
    Mesh,
    ResidenceFlag,
    RepresentativeFlag,
    kPositionEntries
};

// One value per entry; nullopt is stored as NULL. The views point into the line.
using PositionValues = std::array<std::optional<std::string_view>, kPositionEntries>;

// Maps one line through the twelve configured columns, each value cleaned by the
// CSV field rule. The mesh code may be missing or empty and the town may be empty
// (both then NULL); every other value must be there and not empty. `fields` is
// scratch space that a caller reuses for every line. Throws mrk2::Error naming
// `lineNo` (FormatError::MissingColumn, FormatError::EmptyValue) for the first
// faulty entry.
void mapPositionLine(std::string_view line, const std::array<int, kPositionEntries>& columns,
                     std::size_t lineNo, std::vector<std::string_view>& fields,
                     PositionValues& values);

}  // namespace mrk2
