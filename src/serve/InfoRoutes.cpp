// GET /health, /regions, /points (the page's map) and /reverse.
#include <httplib.h>

#include <nlohmann/json.hpp>

#include "lookup/AnswerFields.h"
#include "serve/AddressAnswer.h"
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

void reverse(ServeContext&, const httplib::Request& req, httplib::Response&) {
    QueryString(queryOf(req.target), {"lat", "lon", "region", "limit", "max_distance"});
    throw Error(HttpError::NotImplemented, "逆ジオコーディングはまだ使えません");
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
