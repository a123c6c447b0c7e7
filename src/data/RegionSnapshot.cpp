#include "data/RegionSnapshot.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "base/Paths.h"
#include "base/SourceFile.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"

namespace mrk2 {

bool RegionSnapshot::Town::operator<(const Town& o) const {
    // NULL towns sort before named ones, as the import orders them.
    return std::tie(pref, muni, name) < std::tie(o.pref, o.muni, o.name);
}

RegionSnapshot readRegionSnapshot(const std::string& dbPath) {
    Database db = Database::open(dbPath, Database::Mode::ReadOnly);
    RegionSnapshot snap;
    {
        static const std::string sources =
            "SELECT " +
            columnList({fields::kId, fields::kSrcDir, fields::kSrcFile, fields::kDate}) + " FROM " +
            quoteIdentifier(tables::kSources) + " ORDER BY " + quoteIdentifier(fields::kId);
        Statement st = db.prepare(sources);
        while (st.step())
            snap.sources.push_back(
                {st.int64(0), SourceFile{st.text(1), st.text(2)}.path(), st.optionalText(3)});
    }
    std::unordered_map<std::int64_t, std::int64_t> blocksById;
    {
        Statement st = db.prepare(
            "SELECT name FROM sqlite_schema WHERE type = 'table' AND name GLOB ?1 ORDER BY name");
        st.bind(1, townTableGlob());
        std::vector<std::string> tables;
        while (st.step()) {
            if (isTownTableName(st.text(0)))
                tables.push_back(st.text(0));
        }
        snap.tables = static_cast<std::int64_t>(tables.size());
        for (const std::string& t : tables) {
            // Counted here rather than by GROUP BY, which would sort every table
            // once more; the scan reads the table's index, which holds the id.
            Statement ids = db.prepare("SELECT " + quoteIdentifier(fields::kPositionId) + " FROM " +
                                       quoteIdentifier(t));
            while (ids.step()) {
                ++blocksById[ids.int64(0)];
                ++snap.rows;
            }
        }
    }
    std::map<std::tuple<std::string, std::string, std::optional<std::string>>, std::int64_t> towns;
    std::set<std::string> uncoded;
    static const std::string townsSql =
        "SELECT " +
        columnList({fields::kId, fields::kPrefName, fields::kMunicipalityName, fields::kTownName,
                    fields::kMunicipalityCode}) +
        " FROM " + quoteIdentifier(tables::kPosition);
    Statement st = db.prepare(townsSql);
    while (st.step()) {
        towns[{st.text(1), st.text(2), st.optionalText(3)}] += blocksById[st.int64(0)];
        if (!st.optionalText(4)) {
            ++snap.townsWithoutCode;
            uncoded.insert(st.text(1) + st.text(2));
        }
    }
    snap.municipalitiesWithoutCode.assign(uncoded.begin(), uncoded.end());
    for (const auto& [key, blocks] : towns)
        snap.towns.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), blocks});
    return snap;
}

}  // namespace mrk2
