#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "base/Outcome.h"
#include "base/StopControl.h"

namespace mrk2::serve {

// A read-only HTTP/1.1 server over the catalog's regions (`mrk2cli serve`):
//   GET  /geocode?address=…[&region=…][&format=json|geojson|csv]
//   POST /geocode[?region=…][&format=ndjson|csv|geojson|json]  one address a line
//   GET  /reverse?lat=…&lon=…[&region=…][&limit=…]
//   GET  /regions, GET /health, GET / (the page with the map)
// Errors answer as JSON {"エラー番号", "メッセージ"} (HttpError.h).
//
// Built on cpp-httplib (Debian's libcpp-httplib-dev): a small, compiled library
// with blocking sockets and a thread pool, whose request and keep-alive limits,
// chunked answers and streamed request bodies are all this server needs; its
// one gap, no deadline for a whole request, ConnectionWatch fills. Boost.Beast
// would give the same with several times the code and build time, and
// libmicrohttpd a C interface whose answer callbacks cannot stream a body
// while reading another.
struct ServeRequest {
    std::string dbDir;
    std::string bind = "127.0.0.1";
    int port = 8080;          // 0: any free port (the announcement names it)
    std::size_t threads = 0;  // connections served at once; 0: kDefaultThreads
    static constexpr std::size_t kDefaultThreads = 32;
};

// Serves until `stop` is set (SIGTERM or SIGINT in mrk2cli): then takes no new
// connection, finishes the requests in flight and returns Completed. Calls
// `listening` with the address once the port is bound. Refused when the address
// cannot be bound.
Outcome serveRegions(const ServeRequest& request, StopControl& stop,
                     const std::function<void(const std::string& url)>& listening);

}  // namespace mrk2::serve
