#include "data/PointIndex.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/Error.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"

namespace mrk2 {

namespace pointgrid {

// Whole units of 1e-7 degree per cell: the cell of a point follows from its
// stored integers alone, the same on the side that builds and the side that asks.
constexpr std::int64_t kUnitsPerCell = 10'000'000 / kCellsPerDegree;

int rowOf7(std::int64_t lat7) {
    return static_cast<int>(
        std::clamp<std::int64_t>((lat7 + 900'000'000) / kUnitsPerCell, 0, kRows - 1));
}

int columnOf7(std::int64_t lon7) {
    return static_cast<int>(
        std::clamp<std::int64_t>((lon7 + 1'800'000'000) / kUnitsPerCell, 0, kColumns - 1));
}

int rowOf(double lat) {
    return rowOf7(static_cast<std::int64_t>(std::floor(std::clamp(lat, -90.0, 90.0) * 1e7)));
}

int columnOf(double lon) {
    return columnOf7(static_cast<std::int64_t>(std::floor(std::clamp(lon, -180.0, 180.0) * 1e7)));
}

}  // namespace pointgrid

namespace {

// A coordinate in units of 1e-7 degree, rounded at the eighth decimal. The
// import gate let only decimal numbers within range through; their plain form
// is read digit by digit (the index is built from every row of the region), any
// other through from_chars, and what is no number stays out of the index.
std::optional<std::int32_t> sevenDecimals(std::string_view text, std::int64_t limit7) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    i += negative || (!text.empty() && text[0] == '+');
    std::int64_t units = 0;
    int whole = 0, decimals = 0;
    bool plain = i < text.size();
    for (; plain && i < text.size() && text[i] != '.'; ++i, ++whole) {
        plain = text[i] >= '0' && text[i] <= '9' && whole < 4;
        units = units * 10 + (text[i] - '0');
    }
    if (plain && i < text.size())
        ++i;  // the point
    int roundDigit = 0;
    for (; plain && i < text.size(); ++i) {
        plain = text[i] >= '0' && text[i] <= '9';
        if (decimals < 7)
            units = units * 10 + (text[i] - '0');
        else if (decimals == 7)
            roundDigit = text[i] - '0';
        ++decimals;
    }
    if (plain && whole > 0) {
        for (int d = decimals; d < 7; ++d)
            units *= 10;
        units += roundDigit >= 5;
    } else {
        double value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
            std::fabs(value) > 1000)
            return std::nullopt;
        units = std::llround(std::fabs(value) * 1e7);
    }
    if (units > limit7)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -units : units);
}

char* putUint32(char* out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        *out++ = static_cast<char>((v >> shift) & 0xFF);
    return out;
}

std::int64_t cellOf(const IndexedPoint& p) {
    return pointgrid::cellKey(pointgrid::rowOf7(p.lat7), pointgrid::columnOf7(p.lon7));
}

struct TownTable {
    std::string name;
    std::uint32_t number = 0;
};

std::vector<TownTable> townTables(Database& db) {
    std::vector<TownTable> out;
    Statement st = db.prepare("SELECT DISTINCT " + quoteIdentifier(fields::kTableName) + " FROM " +
                              quoteIdentifier(tables::kPosition) + " WHERE " +
                              quoteIdentifier(fields::kTableName) + " IS NOT NULL");
    while (st.step()) {
        std::string name = st.text(0);
        // Every per-town table a run makes is named so; the index refers to a
        // table by its number alone.
        if (isTownTableName(name))
            out.push_back(
                {name, static_cast<std::uint32_t>(std::stoul(name.substr(name.size() - 4)))});
    }
    return out;
}

// Reads every point of the tables, or those whose grid row lies in [row0, row1),
// and gives each to `take`.
template <class Take>
void readPoints(Database& db, const std::vector<TownTable>& tables,
                const std::function<void()>& between, Take&& take) {
    for (const TownTable& t : tables) {
        Statement st = db.prepare("SELECT " +
                                  columnList({fields::kId, fields::kLatitude, fields::kLongitude}) +
                                  " FROM " + quoteIdentifier(t.name));
        while (st.step()) {
            const std::int64_t id = st.int64(0);
            auto lat = sevenDecimals(st.view(1), 900'000'000);
            auto lon = sevenDecimals(st.view(2), 1'800'000'000);
            if (!lat || !lon || id <= 0 || id > std::numeric_limits<std::uint32_t>::max())
                continue;
            take(IndexedPoint{*lat, *lon, t.number, static_cast<std::uint32_t>(id)});
        }
        if (between)
            between();
    }
}

// Writes the points, read table by table in the order of their numbers and row
// by row, as cells: the points of each cell are chained in that order, and the
// cells written in the order of their keys; `appending`, after the points of
// earlier pieces, which stay first in their cells.
void writeCells(Database& db, std::vector<IndexedPoint>& points, bool appending) {
    struct Chain {
        std::uint32_t first, last;
    };
    constexpr std::uint32_t kEnd = std::numeric_limits<std::uint32_t>::max();
    std::unordered_map<std::int64_t, Chain> chains;
    std::vector<std::uint32_t> next(points.size(), kEnd);
    // The rows of a town lie close together: most points share the cell of the
    // point before them, and skip the hash look-up.
    Chain* current = nullptr;
    std::int64_t currentCell = -1;
    for (std::uint32_t i = 0; i < points.size(); ++i) {
        const std::int64_t cell = cellOf(points[i]);
        if (cell != currentCell) {
            // A map's elements stay where they are when it grows.
            auto [it, added] = chains.try_emplace(cell, Chain{i, i});
            current = &it->second;
            currentCell = cell;
            if (added)
                continue;
        }
        next[current->last] = i;
        current->last = i;
    }
    std::vector<std::int64_t> cells;
    cells.reserve(chains.size());
    for (const auto& [cell, chain] : chains)
        cells.push_back(cell);
    std::sort(cells.begin(), cells.end());
    const std::string table = quoteIdentifier(tables::kPointIndex);
    Statement insert = db.prepare("INSERT OR REPLACE INTO " + table + " VALUES (?1, ?2)");
    Statement existing;
    if (appending)
        existing = db.prepare("SELECT " + quoteIdentifier(fields::kPoints) + " FROM " + table +
                              " WHERE " + quoteIdentifier(fields::kCell) + " = ?1");
    std::string packed;
    for (std::int64_t cell : cells) {
        std::size_t size = 0;
        // A cell an earlier piece wrote keeps its points first.
        if (appending) {
            existing.reset();
            existing.bind(1, cell);
            if (existing.step()) {
                const std::string_view before = existing.blob(0);
                packed.assign(before.begin(), before.end());
                size = before.size();
            }
            existing.reset();
        }
        for (std::uint32_t i = chains[cell].first; i != kEnd; i = next[i]) {
            if (packed.size() < size + kPackedPointSize)
                packed.resize(2 * (size + kPackedPointSize));
            const IndexedPoint& p = points[i];
            char* at = packed.data() + size;
            at = putUint32(at, static_cast<std::uint32_t>(p.lat7));
            at = putUint32(at, static_cast<std::uint32_t>(p.lon7));
            at = putUint32(at, p.table);
            putUint32(at, p.row);
            size += kPackedPointSize;
        }
        insert.bind(1, cell).bindBlob(2, std::string_view(packed.data(), size));
        insert.run();
    }
    points.clear();
}

}  // namespace

void buildPointIndex(Database& db, const std::function<void()>& between,
                     std::size_t pointsPerPiece) {
    dropTable(db, tables::kPointIndex);
    db.exec("CREATE TABLE " + quoteIdentifier(tables::kPointIndex) + " (" +
            quoteIdentifier(fields::kCell) + " INTEGER PRIMARY KEY, " +
            quoteIdentifier(fields::kPoints) + " BLOB NOT NULL)");
    const std::vector<TownTable> tables = townTables(db);
    std::vector<IndexedPoint> points;
    points.reserve(std::min<std::size_t>(pointsPerPiece, 1 << 16));
    bool written = false;  // a piece is in the table: later ones append to its cells
    readPoints(db, tables, between, [&](const IndexedPoint& p) {
        points.push_back(p);
        if (points.size() >= pointsPerPiece) {
            writeCells(db, points, written);
            written = true;
        }
    });
    writeCells(db, points, written);
}

bool hasPointIndex(Database& db) {
    return db.tableExists(tables::kPointIndex);
}

PointCells::PointCells(Database& db)
    : range_(db.prepare("SELECT " + quoteIdentifier(fields::kPoints) + " FROM " +
                        quoteIdentifier(tables::kPointIndex) + " WHERE " +
                        quoteIdentifier(fields::kCell) + " BETWEEN ?1 AND ?2")) {}

void PointCells::forEachCell(int row0, int row1, int column0, int column1,
                             const std::function<void(std::string_view packed)>& each) {
    for (int row = row0; row <= row1; ++row) {
        range_.reset();
        range_.bind(1, pointgrid::cellKey(row, column0)).bind(2, pointgrid::cellKey(row, column1));
        while (range_.step())
            each(range_.blob(0));
    }
    range_.reset();
}

}  // namespace mrk2
