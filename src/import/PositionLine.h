#pragma once
#include <array>
#include <cstddef>
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

// An empty value stands for NULL: only the town and the mesh code may be one.
using PositionValues = std::array<std::string_view, kPositionEntries>;

// Cuts a position line into its twelve cleaned values and checks them: every
// column but the mesh code's must be on the line, and every value but the town
// and the mesh code must not be empty. The same check stands before every way
// a line is kept, so a faulty file fails the same way on each.
class PositionLineParser {
  public:
    explicit PositionLineParser(const std::array<int, kPositionEntries>& columns)
        : columns_(columns) {}

    // The values point into `line`. Throws mrk2::Error naming `lineNo`.
    const PositionValues& parse(std::string_view line, std::size_t lineNo);

  private:
    std::array<int, kPositionEntries> columns_;
    std::vector<std::string_view> fields_;
    PositionValues values_;
};

}  // namespace mrk2
