// GET /health, /regions, /points (the page's map) and /reverse.
#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "lookup/AnswerFields.h"
#include "lookup/PointText.h"
#include "lookup/ReverseLookup.h"
#include "serve/AddressAnswer.h"
#include "serve/AnswerStream.h"
#include "serve/HttpError.h"
#include "serve/QueryString.h"
#include "serve/Routes.h"

namespace mrk2::serve {

namespace {

using Json = nlohmann::ordered_json;
constexpr const char* kJson = "application/json; charset=utf-8";

void health(ServeContext& ctx, const httplib::Request& req, httplib::Response& res) {
    QueryString(queryOf(req.target), {});
    Json body{{"状態", "正常"}, {"地域数", ctx.shelf.names().size()}};
    res.set_content(jsonLine(body) + "\n", kJson);
}

void regions(ServeContext& ctx, const httplib::Request& req, httplib::Response& res) {
    QueryString(queryOf(req.target), {});
    Json list = Json::array();
    for (const std::string& name : ctx.shelf.names()) {
        auto readers = ctx.shelf.readers(name);
        if (!readers)
            continue;  // deleted in the meantime
        const RegionSnapshot& s = readers->snapshot();
        Json sources = Json::array();
        for (const RegionSnapshot::Source& src : s.sources)
            sources.push_back(
                {{"ファイル", src.path}, {"日付", src.date ? Json(*src.date) : Json(nullptr)}});
        list.push_back({{"名前", name},
                        {"町数", s.towns.size()},
                        {"行数", s.rows},
                        {"ソース", std::move(sources)}});
    }
    res.set_content(jsonLine(list) + "\n", kJson);
}

// A sample of the region's points, [[lat, lon], ...]: the page draws them as its map.
void points(ServeContext& ctx, const httplib::Request& req, httplib::Response& res) {
    QueryString q(queryOf(req.target), {"region"});
    const auto region = q.get("region");
    if (!region)
        throw Error(HttpError::BadRequest, "region に地域名を指定して下さい");
    Json list = Json::array();
    for (const RegionReaders::Point& p : regionReaders(ctx.shelf, *region)->sample())
        list.push_back(Json::array({p.lat, p.lon}));
    res.set_content(jsonLine(Json{{"地域", *region}, {"点", std::move(list)}}) + "\n", kJson);
}

// A decimal written plainly, within [low, high]; Error 10400 naming `name` otherwise.
double numberParameter(const std::string& name, const std::string& text, double low, double high) {
    double value = 0;
    auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= low && value <= high))
        throw Error(HttpError::BadRequest, name + " の値が正しくありません");
    return value;
}

// The addresses nearest to a point: in the named region, or in every region (the
// nearest of them all), nearest first, each with its 距離; [] when none lies
// within max_distance metres.
void reverse(ServeContext& ctx, const httplib::Request& req, httplib::Response& res) {
    QueryString q(queryOf(req.target), {"lat", "lon", "region", "limit", "max_distance", "format"});
    const auto lat = parseLatitude(q.get("lat").value_or(""));
    const auto lon = parseLongitude(q.get("lon").value_or(""));
    if (!lat || !lon)
        throw Error(HttpError::BadRequest,
                    "lat と lon に緯度（-90～90）と経度（-180～180）を数値で指定して下さい");
    ReverseQuery query;
    query.lat = *lat;
    query.lon = *lon;
    if (auto limit = q.get("limit")) {
        const double n = numberParameter("limit", *limit, 1, ReverseQuery::kMaxLimit);
        if (n != std::floor(n))
            throw Error(HttpError::BadRequest, "limit の値が正しくありません");
        query.limit = static_cast<std::size_t>(n);
    }
    if (auto metres = q.get("max_distance"))
        query.maxMetres = numberParameter("max_distance", *metres, 0, ReverseQuery::kMaxMetres);
    AnswerFormat format = AnswerFormat::Json;
    if (auto name = q.get("format")) {
        auto named = answerFormatNamed(*name);
        if (!named || *named == AnswerFormat::NdJson)
            throw Error(HttpError::BadRequest, "format は json, csv, geojson のいずれかです");
        format = *named;
    }

    std::vector<NearbyAddress> found;
    auto ask = [&](RegionReaders& readers) {
        for (NearbyAddress& a : readers.reverse()->nearest(query))
            found.push_back(std::move(a));
    };
    if (auto region = q.get("region")) {
        ask(*regionReaders(ctx.shelf, *region));
    } else {
        for (const std::string& name : ctx.shelf.names()) {
            auto readers = ctx.shelf.readers(name);
            try {
                if (readers)
                    ask(*readers);
            } catch (const Error& e) {
                // A region built before the point index answers once updated.
                if (e.number() != FormatError::NotFound)
                    throw;
            }
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const auto& a, const auto& b) { return a.metres < b.metres; });
        if (found.size() > query.limit)
            found.resize(query.limit);
    }
    AnswerStream out(format, true, true);
    std::string body = out.begin();
    // The point as asked, as `mrk2cli reverse` writes it: two checked numbers.
    const std::string input = *q.get("lat") + " " + *q.get("lon");
    for (NearbyAddress& a : found) {
        a.address.input = input;
        body += out.answer(a.address, a.metres);
    }
    res.set_content(body + out.end(), contentTypeOf(format));
}

}  // namespace

void installInfoRoutes(httplib::Server& server, ServeContext& ctx) {
    auto route = [&](const char* path,
                     void (*handler)(ServeContext&, const httplib::Request&, httplib::Response&)) {
        server.Get(path, [&ctx, handler](const httplib::Request& req, httplib::Response& res) {
            answering(res, [&] { handler(ctx, req, res); });
        });
    };
    route("/health", &health);
    route("/regions", &regions);
    route("/points", &points);
    route("/reverse", &reverse);
}

}  // namespace mrk2::serve
