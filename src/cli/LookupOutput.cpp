#include "cli/LookupOutput.h"

#include <cstdio>
#include <string>

#include "cli/JsonText.h"
#include "cli/Listing.h"

namespace mrk2::cli {

namespace {

constexpr const char* kUnmatched = "不一致";
constexpr const char* kInputError = "入力エラー";

const char* levelText(const LookupResult& r) {
    if (r.problem != InputProblem::None)
        return kInputError;
    return r.level == MatchLevel::None ? kUnmatched : matchLevelName(r.level);
}

// The fields shared by JSON and GeoJSON, without the enclosing braces.
std::string jsonFields(const LookupResult& r) {
    const BlockPoint& p = r.point;
    std::string s =
        "\"入力\": " + jsonString(r.input) + ", \"都道府県名\": " + jsonString(r.pref) +
        ", \"市区町村名\": " + jsonString(r.muni) + ", \"大字・町丁目\": " + jsonString(r.town) +
        ", \"街区・番地\": " + jsonString(p.block) + ", \"緯度\": " + jsonNumber(p.lat) +
        ", \"経度\": " + jsonNumber(p.lon) + ", \"座標系番号\": " + jsonString(p.system) +
        ", \"Ｘ座標\": " + jsonNumber(p.x) + ", \"Ｙ座標\": " + jsonNumber(p.y) +
        ", \"テーブル\": " + jsonString(p.table) + ", \"一致レベル\": " + jsonString(levelText(r));
    if (r.problem != InputProblem::None)
        s += ", \"エラー\": " + jsonString(inputProblemText(r.problem));
    if (!r.candidates.empty()) {
        s += ", \"候補\": [";
        for (std::size_t i = 0; i < r.candidates.size(); ++i)
            s += (i ? ", " : "") + jsonString(r.candidates[i]);
        s += "]";
    }
    return s;
}

// Metres to a tenth, "" without a distance.
std::string metresText(std::optional<double> metres) {
    if (!metres)
        return "";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", *metres);
    return buf;
}

}  // namespace

LookupWriter::LookupWriter(std::ostream& out, LookupFormat format, bool many, bool distances)
    : out_(out), format_(format), many_(many), distances_(distances) {
    if (format_ == LookupFormat::Tsv) {
        if (distances_)
            out_ << "入力\t";
        out_ << "都道府県名\t市区町村名\t大字・町丁目\t街区・番地\t緯度\t経度\t座標系番号\tＸ座標\t"
                "Ｙ座"
                "標\tテーブル\t一致レベル"
             << (distances_ ? "\t距離\n" : "\n");
    } else if (format_ == LookupFormat::GeoJson) {
        out_ << "{\"type\": \"FeatureCollection\", \"features\": [";
    } else if (many_) {
        out_ << "[";
    }
}

void LookupWriter::write(const LookupResult& r, std::optional<double> metres) {
    const BlockPoint& p = r.point;
    const char* sep = written_++ ? ",\n" : "\n";
    std::string fields = jsonFields(r);
    if (distances_)
        fields += ", \"距離\": " + (metres ? metresText(metres) : std::string("null"));
    switch (format_) {
        case LookupFormat::Tsv:
            if (distances_)
                out_ << listingCell(r.input) << '\t';
            out_ << listingCell(r.pref) << '\t' << listingCell(r.muni) << '\t'
                 << listingCell(r.town) << '\t' << listingCell(p.block) << '\t'
                 << listingCell(p.lat) << '\t' << listingCell(p.lon) << '\t'
                 << listingCell(p.system) << '\t' << listingCell(p.x) << '\t' << listingCell(p.y)
                 << '\t' << listingCell(p.table) << '\t' << levelText(r);
            if (distances_)
                out_ << '\t' << metresText(metres);
            out_ << '\n';
            break;
        case LookupFormat::Json:
            out_ << (many_ ? sep : "") << "{" << fields << "}" << (many_ ? "" : "\n");
            break;
        case LookupFormat::GeoJson: {
            // A point's coordinates are numbers: a value that is none (a database
            // written elsewhere) gives no point rather than a string in its place.
            std::string geometry = "null";
            const std::string lon = jsonNumber(p.lon), lat = jsonNumber(p.lat);
            if (r.level != MatchLevel::None && !p.lat.empty() && !p.lon.empty() && lon[0] != '"' &&
                lat[0] != '"')
                geometry = "{\"type\": \"Point\", \"coordinates\": [" + lon + ", " + lat + "]}";
            out_ << sep << "{\"type\": \"Feature\", \"geometry\": " << geometry
                 << ", \"properties\": {" << fields << "}}";
            break;
        }
    }
    out_.flush();
}

void LookupWriter::finish() {
    if (format_ == LookupFormat::GeoJson)
        out_ << "\n]}\n";
    else if (format_ == LookupFormat::Json && many_)
        out_ << "\n]\n";
    out_.flush();
}

}  // namespace mrk2::cli
