#include "import/PlaneProjector.h"

#include <proj.h>

#include <cmath>

#include "base/Error.h"

namespace mrk2 {

namespace {

// The EPSG code of zone I of each geographic datum; zones II..XIX follow it.
struct Datum {
    std::string_view srid;
    int geographic;
    int zoneOne;
};
constexpr Datum kDatums[] = {
    {"EPSG:6668", 6668, 6669},   // JGD2011
    {"EPSG:4612", 4612, 2443},   // JGD2000
    {"EPSG:4301", 4301, 30161},  // Tokyo
};

}  // namespace

struct PlaneProjector::Context {
    PJ_CONTEXT* pj = proj_context_create();
    // PROJ writes its errors to stderr by default ("tmerc: Invalid latitude"), in
    // English, beside our own report of the same fault: they go nowhere instead.
    Context() {
        proj_log_func(pj, nullptr, [](void*, int, const char*) {});
    }
    ~Context() { proj_context_destroy(pj); }
};

struct PlaneProjector::Transform {
    PJ* pj = nullptr;
    ~Transform() { proj_destroy(pj); }
};

PlaneProjector::PlaneProjector() : context_(std::make_unique<Context>()) {}

// The transformations go before the context they were made in.
PlaneProjector::~PlaneProjector() {
    transforms_.clear();
}

PlaneProjector::Transform& PlaneProjector::transform(int geographic, int projected) {
    auto it = transforms_.find({geographic, projected});
    if (it != transforms_.end())
        return *it->second;
    const std::string from = "EPSG:" + std::to_string(geographic);
    const std::string to = "EPSG:" + std::to_string(projected);
    PJ* pj = proj_create_crs_to_crs(context_->pj, from.c_str(), to.c_str(), nullptr);
    if (!pj)
        throw Error(FormatError::NotFound,
                    "座標変換を作成できません: " + from + " → " + to +
                        "（PROJ の座標参照系データベース proj.db が見つからないか、壊れています）");
    auto t = std::make_unique<Transform>();
    t->pj = pj;
    return *transforms_.emplace(std::make_pair(geographic, projected), std::move(t)).first->second;
}

bool PlaneProjector::knowsDatum(std::string_view srid) {
    for (const Datum& d : kDatums) {
        if (d.srid == srid)
            return true;
    }
    return false;
}

std::optional<PlanePoint> PlaneProjector::project(std::string_view srid, int zone, double lat,
                                                  double lon) {
    if (zone < 1 || zone > 19)
        return std::nullopt;
    for (const Datum& d : kDatums) {
        if (d.srid != srid)
            continue;
        // Both systems keep EPSG's axis order: latitude first, northing first.
        PJ_COORD c = proj_coord(lat, lon, 0, 0);
        c = proj_trans(transform(d.geographic, d.zoneOne + zone - 1).pj, PJ_FWD, c);
        if (!std::isfinite(c.v[0]) || !std::isfinite(c.v[1]))
            return std::nullopt;
        return PlanePoint{c.v[0], c.v[1]};
    }
    return std::nullopt;
}

}  // namespace mrk2
