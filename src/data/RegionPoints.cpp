#include "data/RegionPoints.h"

#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "data/Database.h"
#include "data/SchemaNames.h"

namespace mrk2 {

namespace {

std::optional<double> number(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

}  // namespace

RegionPoints readRegionPoints(const std::string& dbPath, const std::atomic<bool>* cancel) {
    Database db = Database::open(dbPath, Database::Mode::ReadOnly);
    RegionPoints out;
    std::unordered_map<std::int64_t, std::uint32_t> muniOf;  // position id -> municipality
    std::vector<std::string> tables;
    {
        std::map<std::pair<std::string, std::string>, std::uint32_t> index;
        static const std::string towns =
            "SELECT " +
            columnList({fields::kId, fields::kPrefName, fields::kMunicipalityName,
                        fields::kTableName, fields::kTownName}) +
            " FROM " + quoteIdentifier(tables::kPosition) + " ORDER BY " +
            quoteIdentifier(fields::kId);
        Statement st = db.prepare(towns);
        std::set<std::string> seen;
        while (st.step()) {
            auto key = std::make_pair(st.text(1), st.text(2));
            auto [it, added] =
                index.try_emplace(key, static_cast<std::uint32_t>(out.municipalities.size()));
            if (added)
                out.municipalities.push_back({key.first, key.second, 0});
            muniOf[st.int64(0)] = it->second;
            if (!st.isNull(3) && seen.insert(st.text(3)).second)
                tables.push_back(st.text(3));
            if (out.exampleTown.empty() && !st.isNull(4))
                out.exampleTown = key.second + st.text(4);
        }
    }
    for (const std::string& table : tables) {
        if (cancel && cancel->load()) {
            out.complete = false;
            break;
        }
        if (!db.tableExists(table))
            continue;
        static const std::string columns =
            columnList({fields::kPositionId, fields::kLatitude, fields::kLongitude});
        Statement st = db.prepare("SELECT " + columns + " FROM " + quoteIdentifier(table));
        while (st.step()) {
            auto muni = muniOf.find(st.int64(0));
            auto lat = number(st.text(1));
            auto lon = number(st.text(2));
            if (muni == muniOf.end() || !lat || !lon) {
                ++out.unreadable;
                continue;
            }
            out.points.push_back(
                {static_cast<float>(*lon), static_cast<float>(*lat), muni->second});
            ++out.municipalities[muni->second].rows;
        }
    }
    return out;
}

}  // namespace mrk2
