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

int rowOf(double lat) {
    return std::clamp(static_cast<int>(std::floor((lat + 90) * kCellsPerDegree)), 0, kRows - 1);
}

int columnOf(double lon) {
    return std::clamp(static_cast<int>(std::floor((lon + 180) * kCellsPerDegree)), 0, kColumns - 1);
}

}  // namespace pointgrid

namespace {

constexpr std::size_t kPackedSize = 16;

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

std::uint32_t getUint32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

std::int64_t cellOf(const IndexedPoint& p) {
    return pointgrid::cellKey(pointgrid::rowOf(p.lat7 / 1e7), pointgrid::columnOf(p.lon7 / 1e7));
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

void writeCells(Database& db, std::vector<IndexedPoint>& points) {
    std::sort(points.begin(), points.end(), [](const IndexedPoint& a, const IndexedPoint& b) {
        const std::int64_t ca = cellOf(a), cb = cellOf(b);
        if (ca != cb)
            return ca < cb;
        return a.table != b.table ? a.table < b.table : a.row < b.row;
    });
    Statement insert =
        db.prepare("INSERT INTO " + quoteIdentifier(tables::kPointIndex) + " VALUES (?1, ?2)");
    std::string packed;
    for (std::size_t i = 0; i < points.size();) {
        const std::int64_t cell = cellOf(points[i]);
        packed.clear();
        for (; i < points.size() && cellOf(points[i]) == cell; ++i) {
            putUint32(packed, static_cast<std::uint32_t>(points[i].lat7));
            putUint32(packed, static_cast<std::uint32_t>(points[i].lon7));
            putUint32(packed, points[i].table);
            putUint32(packed, points[i].row);
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
    std::vector<IndexedPoint> points;
    bool overflow = false;
    readPoints(db, tables, between, [&](const IndexedPoint& p) {
        if (points.size() < pointsPerPass)
            points.push_back(p);
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
               [&](const IndexedPoint& p) { ++perRow[pointgrid::rowOf(p.lat7 / 1e7)]; });
    for (int row0 = 0; row0 < pointgrid::kRows;) {
        int row1 = row0;
        std::size_t count = 0;
        while (row1 < pointgrid::kRows && (row1 == row0 || count + perRow[row1] <= pointsPerPass))
            count += perRow[row1++];
        if (count > 0) {
            points.reserve(count);
            readPoints(db, tables, between, [&](const IndexedPoint& p) {
                const int row = pointgrid::rowOf(p.lat7 / 1e7);
                if (row >= row0 && row < row1)
                    points.push_back(p);
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

void PointCells::forEach(int row0, int row1, int column0, int column1,
                         const std::function<void(const IndexedPoint&)>& each) {
    for (int row = row0; row <= row1; ++row) {
        range_.reset();
        range_.bind(1, pointgrid::cellKey(row, column0)).bind(2, pointgrid::cellKey(row, column1));
        while (range_.step()) {
            const std::string_view packed = range_.blob(0);
            for (std::size_t at = 0; at + kPackedSize <= packed.size(); at += kPackedSize) {
                const char* p = packed.data() + at;
                each(IndexedPoint{static_cast<std::int32_t>(getUint32(p)),
                                  static_cast<std::int32_t>(getUint32(p + 4)), getUint32(p + 8),
                                  getUint32(p + 12)});
            }
        }
    }
    range_.reset();
}

}  // namespace mrk2
