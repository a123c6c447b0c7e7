#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/Database.h"

namespace mrk2 {

// The point index of a region database: every block row with a latitude and a
// longitude, found by the cell of a fixed grid of 1/400 degree (about 280 m by
// 230 m in Japan) that it lies in. The table POSITION索引 holds one row per cell
// with points: fldCell, the cell's key, and fldPoints, its points packed 16
// bytes each, little-endian: latitude and longitude in units of 1e-7 degree
// (int32, about 1 cm), the number of the per-town table (uint32, 7 for
// POSITION_0007) and the row's fldID there (uint32), in that order of sorting.
//
// A packed cell instead of a row per point or SQLite's R*Tree: the index is
// written with every register and update, and one row per cell costs a fraction
// of the time a million tree insertions take (bench/README.md), while a query
// reads a few cells of a few kilobytes each.
struct IndexedPoint {
    std::int32_t lat7 = 0, lon7 = 0;
    std::uint32_t table = 0;  // townTableName(table) holds the row
    std::uint32_t row = 0;    // its fldID
};

namespace pointgrid {
inline constexpr int kCellsPerDegree = 400;
inline constexpr int kRows = 180 * kCellsPerDegree;     // latitude -90..90
inline constexpr int kColumns = 360 * kCellsPerDegree;  // longitude -180..180
// Clamped to the grid: a latitude of exactly 90 lies in the last row. The
// ...7 forms take units of 1e-7 degree, as the index stores them.
int rowOf(double lat);
int columnOf(double lon);
int rowOf7(std::int64_t lat7);
int columnOf7(std::int64_t lon7);
inline std::int64_t cellKey(int row, int column) {
    return static_cast<std::int64_t>(row) * kColumns + column;
}
}  // namespace pointgrid

// Builds the index anew in `db` (a work file of a run: the index is replaced
// with the region, never beside it), from the per-town tables POSITION names.
// Keeps at most `pointsPerPiece` points (about 20 bytes each) in memory: a
// larger region is written in pieces, a later piece adding its points to the
// cells an earlier one wrote. `between` runs between tables (a run checks for
// Stop there). Throws mrk2::Error.
inline constexpr std::size_t kPointsPerPiece = 1'000'000;
void buildPointIndex(Database& db, const std::function<void()>& between = {},
                     std::size_t pointsPerPiece = kPointsPerPiece);

bool hasPointIndex(Database& db);

// Calls `each` with the packed points of every cell in rows [row0, row1] and
// columns [column0, column1] of the grid (unpack them with unpackPoint); the
// bytes are valid during the call. Keeps its statement for the next call: one
// per connection.
class PointCells {
  public:
    explicit PointCells(Database& db);
    void forEachCell(int row0, int row1, int column0, int column1,
                     const std::function<void(std::string_view packed)>& each);

  private:
    Statement range_;
};

inline constexpr std::size_t kPackedPointSize = 16;

inline std::uint32_t unpackUint32(const char* p) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(p[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(p[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(p[3])) << 24;
}

// The point at `p`, kPackedPointSize bytes of a cell.
inline IndexedPoint unpackPoint(const char* p) {
    return {static_cast<std::int32_t>(unpackUint32(p)),
            static_cast<std::int32_t>(unpackUint32(p + 4)), unpackUint32(p + 8),
            unpackUint32(p + 12)};
}

}  // namespace mrk2
