#pragma once
// The server's routes, installed by GeocodeServer; each file installs its own.
#include <chrono>
#include <functional>

#include "base/Error.h"
#include "serve/ConnectionWatch.h"
#include "serve/RegionShelf.h"

namespace httplib {
class Server;
struct Response;
}  // namespace httplib

namespace mrk2::serve {

struct ServeContext {
    RegionShelf& shelf;
    ConnectionWatch& watch;
};

// How long a client may take: to send a request once connected or after the last
// answer (a byte at a time too), to take each piece of a streamed answer; a body
// must arrive at kMinUploadRate after kIdleTime.
inline constexpr std::chrono::seconds kIdleTime{10};
inline constexpr std::chrono::seconds kAnswerTime{30};
inline constexpr std::chrono::seconds kPieceTime{10};
inline constexpr std::size_t kMinUploadRate = 64 * 1024;  // bytes a second
inline constexpr std::size_t kMaxBodyBytes = std::size_t(1) << 30;

void installGeocodeRoutes(httplib::Server& server, ServeContext& context);
void installInfoRoutes(httplib::Server& server, ServeContext& context);
void installPageRoutes(httplib::Server& server, ServeContext& context);

// The error as the answer: its status, and {"エラー番号", "メッセージ"} as the body.
void answerError(httplib::Response& res, const Error& error);
// Runs a handler's work, answering any error it throws.
void answering(httplib::Response& res, const std::function<void()>& work);

}  // namespace mrk2::serve
