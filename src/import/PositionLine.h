#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace mrk2 {

// The twelve values of a position line, in the order of POSINFOFIELDNO. Scoped,
// since bare names such as Town, Block, X and Y would belong to the whole
// namespace; a file that names many of them says `using enum PositionEntry;`.
enum class PositionEntry : std::size_t {
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
    RepresentativeFlag
};
inline constexpr std::size_t kPositionEntries = 12;

// One element per entry, indexed by the entry or by its number.
template <class T>
struct PerEntry : std::array<T, kPositionEntries> {
    using std::array<T, kPositionEntries>::operator[];
    T& operator[](PositionEntry e) { return (*this)[static_cast<std::size_t>(e)]; }
    const T& operator[](PositionEntry e) const { return (*this)[static_cast<std::size_t>(e)]; }
};

// One value per entry; nullopt is stored as NULL. The views point into the line.
using PositionValues = PerEntry<std::optional<std::string_view>>;

// Which column of a CSV line gives each of the twelve values, and what each
// must hold: read off a known header, or the configured columns.
struct CsvColumnMap {
    enum class Need {
        Value,     // the column must be there and not empty
        Column,    // the column must be there; empty is NULL (the town)
        Optional,  // missing or empty is NULL (the mesh code)
        Absent     // the source has no such value: always NULL
    };
    PerEntry<int> columns{};
    PerEntry<Need> needs{};
    int codeColumn = -1;  // the row's own municipality code, -1 when it has none

    // The documented rule for configured columns (POSINFOFIELDNO): the town may
    // be empty, the mesh code missing or empty, every other value is required.
    static CsvColumnMap configured(const std::array<int, kPositionEntries>& columns);
};

// Maps one line through a column map, each value cleaned by the CSV field rule.
// `fields` is scratch space that a caller reuses for every line. Throws
// mrk2::Error naming `lineNo` (FormatError::MissingColumn,
// FormatError::EmptyValue) for the first faulty entry.
void mapPositionLine(std::string_view line, const CsvColumnMap& map, std::size_t lineNo,
                     std::vector<std::string_view>& fields, PositionValues& values);

}  // namespace mrk2
