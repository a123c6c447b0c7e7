#include "data/RegionSnapshot.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "app/Paths.h"
#include "app/SourceFile.h"
#include "data/Database.h"

namespace mrk2 {

namespace {

bool isTownTableName(const std::string& name) {
    return name.size() == 13 && name.rfind("POSITION_", 0) == 0 &&
           std::all_of(name.begin() + 9, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool RegionSnapshot::Town::operator<(const Town& o) const {
    // NULL towns sort before named ones, as the import orders them.
    return std::tie(pref, muni, name) < std::tie(o.pref, o.muni, o.name);
}

RegionSnapshot readRegionSnapshot(const std::string& dbPath) {
    Database db = Database::open(dbPath, Database::Mode::ReadOnly);
    RegionSnapshot snap;
    {
        Statement st = db.prepare(
            "SELECT fldID, fldSrcDir, fldSrcFile, fldDate FROM POSITION管理 ORDER BY fldID");
        while (st.step())
            snap.sources.push_back(
                {st.int64(0), SourceFile{st.text(1), st.text(2)}.path(), st.optText(3)});
    }
    std::unordered_map<std::int64_t, std::int64_t> blocksById;
    {
        Statement st = db.prepare(
            "SELECT name FROM sqlite_schema WHERE type = 'table' AND name LIKE 'POSITION!_%' "
            "ESCAPE '!' ORDER BY name");
        std::vector<std::string> tables;
        while (st.step()) {
            if (isTownTableName(st.text(0)))
                tables.push_back(st.text(0));
        }
        snap.tables = static_cast<std::int64_t>(tables.size());
        for (const std::string& t : tables) {
            // Counted here rather than by GROUP BY, which would sort every table
            // once more; the scan reads the table's index, which holds the id.
            Statement ids = db.prepare("SELECT fldPositionID FROM " + quoteIdentifier(t));
            while (ids.step()) {
                ++blocksById[ids.int64(0)];
                ++snap.rows;
            }
        }
    }
    std::map<std::tuple<std::string, std::string, std::optional<std::string>>, std::int64_t> towns;
    std::set<std::string> uncoded;
    Statement st = db.prepare(
        "SELECT fldID, fld都道府県名, fld市区町村名, fld大字・町丁目, fld市区町村コード FROM "
        "POSITION");
    while (st.step()) {
        towns[{st.text(1), st.text(2), st.optText(3)}] += blocksById[st.int64(0)];
        if (!st.optText(4)) {
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
