#include "lookup/ReverseLookup.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

#include "base/Error.h"
#include "data/Database.h"
#include "data/PointIndex.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"
#include "lookup/RowChoice.h"

namespace mrk2 {

namespace {

// The mean radius of the earth (IUGG): distances on the sphere are within
// 0.5 % of those on the ellipsoid, well inside what a nearest address needs.
constexpr double kEarthMetres = 6371008.8;
constexpr double kRadians = std::numbers::pi / 180;
// The first search radius: most points of a built-up region have a row this
// near; each further round searches four times as far.
constexpr double kFirstMetres = 50;
// Metres of a meridian per 1e-7 degree, the index's unit.
constexpr double kMetresPerUnit = kEarthMetres * kRadians * 1e-7;

double greatCircleMetres(double lat1, double lon1, double lat2, double lon2) {
    const double s1 = std::sin((lat2 - lat1) * kRadians / 2);
    const double s2 = std::sin((lon2 - lon1) * kRadians / 2);
    const double a = s1 * s1 + std::cos(lat1 * kRadians) * std::cos(lat2 * kRadians) * s2 * s2;
    return 2 * kEarthMetres * std::asin(std::min(1.0, std::sqrt(a)));
}

// The grid cells that hold every point within `metres` of the point: the
// latitude span of the circle, and the widest longitude span it reaches
// (asin(sin δ / cos φ) on the sphere), with a margin for rounding. Longitudes do not wrap at ±180:
// no region of Japan comes near.
struct CellBox {
    int row0, row1, column0, column1;
};

CellBox cellsAround(double lat, double lon, double metres) {
    const double delta = metres / kEarthMetres;  // radians
    const double margin = 1e-6;                  // degrees
    const double dLat = delta / kRadians + margin;
    CellBox box{pointgrid::rowOf(lat - dLat), pointgrid::rowOf(lat + dLat), 0,
                pointgrid::kColumns - 1};
    const double reach = std::sin(delta) / std::cos(lat * kRadians);
    if (std::fabs(lat) + dLat < 90 && reach < 1) {
        const double dLon = std::asin(reach) / kRadians + margin;
        box.column0 = pointgrid::columnOf(lon - dLon);
        box.column1 = pointgrid::columnOf(lon + dLon);
    }
    return box;
}

void checkQuery(const ReverseQuery& q) {
    auto refuse = [](const char* what) { throw Error(FormatError::OutOfRange, what); };
    if (!(std::fabs(q.lat) <= 90))
        refuse("緯度は-90から90の範囲で指定して下さい");
    if (!(std::fabs(q.lon) <= 180))
        refuse("経度は-180から180の範囲で指定して下さい");
    if (q.limit < 1 || q.limit > ReverseQuery::kMaxLimit)
        refuse("件数は1から1000の範囲で指定して下さい");
    if (!(q.maxMetres > 0 && q.maxMetres <= ReverseQuery::kMaxMetres))
        refuse("距離は0より大きく100000以下で指定して下さい");
}

struct Candidate {
    double metres;
    IndexedPoint point;
};

// Nearer first; equally near in the order of the index.
bool nearer(const Candidate& a, const Candidate& b) {
    if (a.metres != b.metres)
        return a.metres < b.metres;
    return a.point.table != b.point.table ? a.point.table < b.point.table
                                          : a.point.row < b.point.row;
}

}  // namespace

struct ReverseLookup::Towns {
    struct Names {
        std::string pref, muni, town;
    };
    std::unordered_map<std::int64_t, Names> byPositionId;
};

// One connection and what it keeps prepared.
struct ReverseLookup::Reader {
    explicit Reader(const std::string& path) : db(openIndexed(path)), cells(db) {}

    static Database openIndexed(const std::string& path) {
        Database db = Database::open(path, Database::Mode::ReadOnly);
        // Cells are read through a mapping of the file: no read call and no copy
        // per page, and every connection shares the same pages. A region file is
        // never changed in place (a new one is renamed over it), so the mapping
        // never sees it shrink.
        db.exec("PRAGMA mmap_size = 1073741824");
        if (!hasPointIndex(db))
            throw Error(FormatError::NotFound,
                        "位置の索引がありません。地域を更新すると作られます。", path);
        return db;
    }

    Statement& rowOf(std::uint32_t table) {
        auto [it, added] = rows.try_emplace(table);
        if (added) {
            it->second = db.prepare(
                "SELECT " +
                columnList({fields::kPositionId, fields::kBlock, fields::kLatitude,
                            fields::kLongitude, fields::kCoordinateSystem, fields::kX, fields::kY,
                            fields::kRepresentative, fields::kResidenceIndication}) +
                " FROM " + quoteIdentifier(townTableName(static_cast<int>(table))) + " WHERE " +
                quoteIdentifier(fields::kId) + " = ?1");
        }
        it->second.reset();
        return it->second;
    }

    Database db;
    PointCells cells;
    std::unordered_map<std::uint32_t, Statement> rows;
};

ReverseLookup::ReverseLookup(const std::string& dbPath) : path_(dbPath) {
    auto reader = inContext(dbPath, [&] { return std::make_unique<Reader>(dbPath); });
    auto towns = std::make_shared<Towns>();
    inContext(dbPath, [&] {
        Statement st =
            reader->db.prepare("SELECT " +
                               columnList({fields::kId, fields::kPrefName,
                                           fields::kMunicipalityName, fields::kTownName}) +
                               " FROM " + quoteIdentifier(tables::kPosition));
        while (st.step())
            towns->byPositionId[st.int64(0)] = {st.text(1), st.text(2), st.text(3)};
    });
    towns_ = std::move(towns);
    idle_.push_back(std::move(reader));
}

ReverseLookup::~ReverseLookup() = default;

std::unique_ptr<ReverseLookup::Reader> ReverseLookup::borrow() const {
    {
        std::lock_guard lock(idleLock_);
        if (!idle_.empty()) {
            auto reader = std::move(idle_.back());
            idle_.pop_back();
            return reader;
        }
    }
    return inContext(path_, [&] { return std::make_unique<Reader>(path_); });
}

void ReverseLookup::giveBack(std::unique_ptr<Reader> reader) const {
    std::lock_guard lock(idleLock_);
    idle_.push_back(std::move(reader));
}

std::vector<NearbyAddress> ReverseLookup::nearest(const ReverseQuery& q) const {
    checkQuery(q);
    std::unique_ptr<Reader> reader = borrow();
    struct Return {
        const ReverseLookup& owner;
        std::unique_ptr<Reader>& reader;
        ~Return() { owner.giveBack(std::move(reader)); }
    } giveBackLater{*this, reader};

    // Every point within `metres` lies in the cells around: once `limit` of them
    // are that near, no point outside can be nearer.
    std::vector<Candidate> best;  // a heap of the nearest so far, the farthest on top
    const double qlat7 = q.lat * 1e7, qlon7 = q.lon * 1e7;
    for (double metres = std::min(kFirstMetres, q.maxMetres);;
         metres = std::min(metres * 4, q.maxMetres)) {
        best.clear();
        const CellBox box = cellsAround(q.lat, q.lon, metres);
        // A flat distance with the narrowest parallel of the box never exceeds the
        // distance on the sphere (by more than rounding): points it puts out of
        // reach, or behind the `limit` nearest, need no exact distance.
        const double cosMin = std::cos(
            std::min(90.0, std::fabs(q.lat) + metres / kEarthMetres / kRadians) * kRadians);
        auto consider = [&](const IndexedPoint& p) {
            const double dy = (p.lat7 - qlat7) * kMetresPerUnit;
            const double dx = (p.lon7 - qlon7) * kMetresPerUnit * cosMin;
            const double lower = std::sqrt(dx * dx + dy * dy) * (1 - 1e-3) - 0.01;
            if (lower > metres || (best.size() == q.limit && lower > best.front().metres))
                return;
            const double d = greatCircleMetres(q.lat, q.lon, p.lat7 / 1e7, p.lon7 / 1e7);
            if (d > metres)
                return;
            const Candidate c{d, p};
            if (best.size() == q.limit) {
                if (!nearer(c, best.front()))
                    return;
                std::pop_heap(best.begin(), best.end(), nearer);
                best.back() = c;
            } else {
                best.push_back(c);
            }
            std::push_heap(best.begin(), best.end(), nearer);
        };
        inContext(path_, [&] {
            reader->cells.forEachCell(
                box.row0, box.row1, box.column0, box.column1, [&](std::string_view packed) {
                    for (std::size_t at = 0; at + kPackedPointSize <= packed.size();
                         at += kPackedPointSize)
                        consider(unpackPoint(packed.data() + at));
                });
        });
        if (best.size() >= q.limit || metres >= q.maxMetres)
            break;
    }
    std::sort_heap(best.begin(), best.end(), nearer);
    std::vector<NearbyAddress> out;
    out.reserve(best.size());
    inContext(path_, [&] {
        for (const Candidate& c : best) {
            const IndexedPoint& p = c.point;
            Statement& st = reader->rowOf(p.table);
            st.bind(1, static_cast<std::int64_t>(p.row));
            if (!st.step())
                continue;  // an index is built with its rows: never for a real region
            NearbyAddress a;
            a.metres = c.metres;
            LookupResult& r = a.address;
            if (auto names = towns_->byPositionId.find(st.int64(0));
                names != towns_->byPositionId.end()) {
                r.pref = names->second.pref;
                r.muni = names->second.muni;
                r.town = names->second.town;
            }
            const BlockRef ref{static_cast<std::int64_t>(p.row),
                               townTableName(static_cast<int>(p.table)), st.text(1),
                               st.text(7) == "1", st.text(8) == "1"};
            r.point = BlockPoint{ref.block,  st.text(2), st.text(3), st.text(4),
                                 st.text(5), st.text(6), ref.table,  ref.representative};
            const std::string number = rowNumber(ref.block);
            r.level = number.empty() ? MatchLevel::Town : levelOf(ref, number);
            st.reset();
            out.push_back(std::move(a));
        }
    });
    return out;
}

}  // namespace mrk2
