#include "lookup/AnswerFields.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace mrk2 {

namespace {

using Json = nlohmann::ordered_json;

// A plain decimal as stored ("35.681", "-100.5"); anything else is no number.
bool isPlainDecimal(const std::string& text) {
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    std::size_t digits = 0, dots = 0;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] >= '0' && text[k] <= '9')
            ++digits;
        else if (text[k] == '.' && k > i && k + 1 < text.size())
            ++dots;
        else
            return false;
    }
    return digits > 0 && dots <= 1 &&
           !(text[i] == '0' && text.size() > i + 1 && text[i + 1] != '.');
}

Json coordinate(const std::string& text) {
    if (text.empty())
        return nullptr;
    if (!isPlainDecimal(text))
        return text;
    return std::stod(text);
}

double tenths(double metres) {
    return std::round(metres * 10) / 10;
}

}  // namespace

const char* answerLevelText(const LookupResult& r) {
    if (r.problem != InputProblem::None)
        return "入力エラー";
    return r.level == MatchLevel::None ? "不一致" : matchLevelName(r.level);
}

Json answerObject(const LookupResult& r, const Distance& distance) {
    const BlockPoint& p = r.point;
    Json o;
    o["入力"] = r.input;
    o["都道府県名"] = r.pref;
    o["市区町村名"] = r.muni;
    o["大字・町丁目"] = r.town;
    o["街区・番地"] = p.block;
    o["緯度"] = coordinate(p.lat);
    o["経度"] = coordinate(p.lon);
    o["座標系番号"] = p.system;
    o["Ｘ座標"] = coordinate(p.x);
    o["Ｙ座標"] = coordinate(p.y);
    o["テーブル"] = p.table;
    o["一致レベル"] = answerLevelText(r);
    if (r.problem != InputProblem::None)
        o["エラー"] = inputProblemText(r.problem);
    if (!r.candidates.empty())
        o["候補"] = r.candidates;
    if (distance.shown)
        o["距離"] = distance.metres ? Json(tenths(*distance.metres)) : Json(nullptr);
    return o;
}

Json answerFeature(const LookupResult& r, const Distance& distance) {
    Json geometry = nullptr;
    Json lon = coordinate(r.point.lon), lat = coordinate(r.point.lat);
    if (r.level != MatchLevel::None && lon.is_number() && lat.is_number())
        geometry = Json{{"type", "Point"}, {"coordinates", Json::array({lon, lat})}};
    Json f;
    f["type"] = "Feature";
    f["geometry"] = std::move(geometry);
    f["properties"] = answerObject(r, distance);
    return f;
}

std::vector<std::string> answerColumns(bool distances) {
    std::vector<std::string> columns{"都道府県名", "市区町村名", "大字・町丁目", "街区・番地",
                                     "緯度",       "経度",       "座標系番号",   "Ｘ座標",
                                     "Ｙ座標",     "テーブル",   "一致レベル"};
    if (distances) {
        columns.insert(columns.begin(), "入力");
        columns.push_back("距離");
    }
    return columns;
}

std::vector<std::string> answerRow(const LookupResult& r, const Distance& distance) {
    const BlockPoint& p = r.point;
    std::vector<std::string> cells{
        r.pref, r.muni, r.town,  p.block,           p.lat, p.lon, p.system,
        p.x,    p.y,    p.table, answerLevelText(r)};
    if (distance.shown) {
        cells.insert(cells.begin(), r.input);
        char metres[32] = "";
        if (distance.metres)
            std::snprintf(metres, sizeof metres, "%.1f", *distance.metres);
        cells.push_back(metres);
    }
    return cells;
}

std::string jsonLine(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace mrk2
