#include "data/PointIndex.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "app/Error.h"
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

// A coordinate in units of 1e-7 degree. The import gate let only decimal
// numbers within range through; anything else stays out of the index.
std::optional<std::int32_t> sevenDecimals(std::string_view text, double limit) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(std::fabs(value) <= limit))
        return std::nullopt;
    return static_cast<std::int32_t>(std::lround(value * 1e7));
}

void putUint32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

std::int64_t cellOf(const IndexedPoint& p) {
    return pointgrid::cellKey(pointgrid::rowOf7(p.lat7), pointgrid::columnOf7(p.lon7));
}

// A point with its cell, computed once for the sort.
struct KeyedPoint {
    std::int64_t cell;
    IndexedPoint point;
};

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
            auto lat = sevenDecimals(st.view(1), 90);
            auto lon = sevenDecimals(st.view(2), 180);
            if (!lat || !lon || id <= 0 || id > std::numeric_limits<std::uint32_t>::max())
                continue;
            take(IndexedPoint{*lat, *lon, t.number, static_cast<std::uint32_t>(id)});
        }
        if (between)
            between();
    }
}

void writeCells(Database& db, std::vector<KeyedPoint>& points) {
    std::sort(points.begin(), points.end(), [](const KeyedPoint& a, const KeyedPoint& b) {
        if (a.cell != b.cell)
            return a.cell < b.cell;
        return a.point.table != b.point.table ? a.point.table < b.point.table
                                              : a.point.row < b.point.row;
    });
    Statement insert =
        db.prepare("INSERT INTO " + quoteIdentifier(tables::kPointIndex) + " VALUES (?1, ?2)");
    std::string packed;
    for (std::size_t i = 0; i < points.size();) {
        const std::int64_t cell = points[i].cell;
        packed.clear();
        for (; i < points.size() && points[i].cell == cell; ++i) {
            const IndexedPoint& p = points[i].point;
            putUint32(packed, static_cast<std::uint32_t>(p.lat7));
            putUint32(packed, static_cast<std::uint32_t>(p.lon7));
            putUint32(packed, p.table);
            putUint32(packed, p.row);
        }
        insert.bind(1, cell).bindBlob(2, packed);
        insert.run();
    }
    points.clear();
}

}  // namespace

void buildPointIndex(Database& db, const std::function<void()>& between,
                     std::size_t pointsPerPass) {
    dropTable(db, tables::kPointIndex);
    db.exec("CREATE TABLE " + quoteIdentifier(tables::kPointIndex) + " (" +
            quoteIdentifier(fields::kCell) + " INTEGER PRIMARY KEY, " +
            quoteIdentifier(fields::kPoints) + " BLOB NOT NULL)");
    const std::vector<TownTable> tables = townTables(db);
    std::vector<KeyedPoint> points;
    bool overflow = false;
    readPoints(db, tables, between, [&](const IndexedPoint& p) {
        if (points.size() < pointsPerPass)
            points.push_back({cellOf(p), p});
        else
            overflow = true;
    });
    if (!overflow) {
        writeCells(db, points);
        return;
    }
    // Too many for one pass: count the points of each grid row, then read bands
    // of whole rows that each fit, so that no cell is split between two passes.
    points.clear();
    points.shrink_to_fit();
    std::vector<std::size_t> perRow(pointgrid::kRows, 0);
    readPoints(db, tables, between,
               [&](const IndexedPoint& p) { ++perRow[pointgrid::rowOf7(p.lat7)]; });
    for (int row0 = 0; row0 < pointgrid::kRows;) {
        int row1 = row0;
        std::size_t count = 0;
        while (row1 < pointgrid::kRows && (row1 == row0 || count + perRow[row1] <= pointsPerPass))
            count += perRow[row1++];
        if (count > 0) {
            points.reserve(count);
            readPoints(db, tables, between, [&](const IndexedPoint& p) {
                const int row = pointgrid::rowOf7(p.lat7);
                if (row >= row0 && row < row1)
                    points.push_back({cellOf(p), p});
            });
            writeCells(db, points);
        }
        row0 = row1;
    }
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
