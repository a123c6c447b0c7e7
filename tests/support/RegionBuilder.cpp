#include "support/RegionBuilder.h"

#include <algorithm>
#include <map>

#include "base/CsvField.h"
#include "base/LineReader.h"
#include "data/Database.h"
#include "data/RegionSchema.h"

namespace mrk2::test {

RegionBuilder::RegionBuilder(std::string path) : path_(std::move(path)) {
    Database::open(path_, Database::Mode::Create).close();
    createPositionTables(path_);
}

void RegionBuilder::addSource(const std::string& file, const std::string& date,
                              const std::vector<BlockRow>& rows) {
    Database db = Database::open(path_);
    Transaction tx(db);
    db.prepare("INSERT INTO POSITION管理 (fldSrcFile, fldSrcDir, fldDate) VALUES (?1, '/src', ?2)")
        .bind(1, file)
        .bind(2, date)
        .run();
    const std::int64_t source = db.lastInsertRowid();
    const std::string table = townTableName(++tables_);
    createTownTableIn(db, table);
    Statement town = db.prepare(
        "INSERT INTO POSITION (fld市区町村コード, fld都道府県名, fld市区町村名, fld大字・町丁目, "
        "fldSrcID, fldTableName) VALUES ('13101', ?1, ?2, ?3, ?4, ?5)");
    Statement block = db.prepare(
        "INSERT INTO " + table +
        " (fldPositionID, fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度, "
        "fld住居表示フラグ, fld代表フラグ) VALUES (?1, ?2, '9', '-100.5', '200.5', ?3, ?4, ?6, "
        "?5)");
    std::map<std::string, std::int64_t> ids;
    for (const BlockRow& r : rows) {
        const std::string key = r.pref + "\x1f" + r.muni + "\x1f" + r.town.value_or("\x1e");
        auto it = ids.find(key);
        if (it == ids.end()) {
            town.bind(1, r.pref).bind(2, r.muni).bind(3, r.town).bind(4, source).bind(5, table);
            town.run();
            it = ids.emplace(key, db.lastInsertRowid()).first;
        }
        block.bind(1, it->second)
            .bind(2, r.block.empty() ? std::nullopt : std::optional<std::string>(r.block))
            .bind(3, r.lat)
            .bind(4, r.lon)
            .bind(5, r.representative ? "1" : "0")
            .bind(6, r.residential ? "1" : "0");
        block.run();
    }
    tx.commit();
}

std::vector<std::string> postalTowns(const std::string& municipality) {
    LineReader reader;
    reader.open(std::string(MRK2_SAMPLE_DATA_DIR) + "/13TOKYO.CSV");
    std::vector<std::string> out;
    std::string line;
    std::vector<std::string_view> f;
    while (reader.next(line)) {
        splitCsvLine(line, f);
        if (f.size() < 9 || cleanCsvField(f[7]) != municipality)
            continue;
        std::string town = cleanCsvField(f[8]);
        if (town.find("階") != std::string::npos)  // a floor of a high-rise building
            continue;
        town = town.substr(0, town.find("（"));
        if (town.empty() || town.find("以下に掲載がない場合") != std::string::npos ||
            std::find(out.begin(), out.end(), town) != out.end())
            continue;
        out.push_back(town);
    }
    return out;
}

}  // namespace mrk2::test
