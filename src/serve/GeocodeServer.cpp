#include "serve/GeocodeServer.h"

#include <httplib.h>
#include <malloc.h>
#include <sys/socket.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "lookup/AnswerFields.h"
#include "serve/HttpError.h"
#include "serve/PortSockets.h"
#include "serve/Routes.h"

namespace mrk2::serve {

namespace {

// cpp-httplib's thread pool, with every connection under the watch while a
// thread serves it.
class WatchedPool : public httplib::TaskQueue {
  public:
    WatchedPool(std::size_t threads, ConnectionWatch& watch, int port)
        : pool_(threads), watch_(watch), port_(port) {}

    void enqueue(std::function<void()> serve) override {
        const int adopted = watch_.adopt(port_);
        pool_.enqueue([this, adopted, serve = std::move(serve)] {
            watch_.enter(adopted, kIdleTime);
            serve();
            watch_.leave();
        });
    }
    void shutdown() override { pool_.shutdown(); }

  private:
    httplib::ThreadPool pool_;
    ConnectionWatch& watch_;
    int port_;
};

const char* statusText(int status) {
    switch (status) {
        case 400:
            return "要求が正しくありません";
        case 404:
            return "そのパスはありません";
        case 413:
            return "本文が大きすぎます";
        case 414:
            return "要求のURIが長すぎます";
    }
    return "要求を処理できませんでした";
}

}  // namespace

void answerError(httplib::Response& res, const Error& error) {
    res.status = httpStatusOf(error.number());
    nlohmann::ordered_json body{{"エラー番号", error.number()},
                                {"メッセージ", error.description()}};
    res.set_content(jsonLine(body) + "\n", "application/json; charset=utf-8");
    // A request refused before its body was read leaves the body unread.
    res.set_header("Connection", "close");
}

void answering(httplib::Response& res, const std::function<void()>& work) {
    try {
        work();
    } catch (const Error& e) {
        answerError(res, e);
    } catch (const std::exception& e) {
        answerError(res, asError(e));
    }
}

Outcome serveRegions(const ServeRequest& request, StopControl& stop,
                     const std::function<void(const std::string&)>& listening) {
    const std::size_t threads = request.threads ? request.threads : ServeRequest::kDefaultThreads;
    // glibc gives each new thread that allocates an arena of its own, up to eight
    // per core, and keeps what is freed there: a town's rows read by one request
    // thread and dropped by the next would be held once per thread (a 100,000-
    // address batch on each of three threads left 124 MB against 63 MB). One
    // arena, with glibc's per-thread caches in front of it, keeps up with the
    // lookups (bench/README.md).
    ::mallopt(M_ARENA_MAX, 1);
    // Lookups are CPU work: more readers than cores would only take memory.
    const std::size_t readers = std::max<unsigned>(2, std::thread::hardware_concurrency());
    RegionShelf shelf(request.dbDir, readers);
    ConnectionWatch watch;
    ServeContext context{shelf, watch};

    httplib::Server server;
    // An answer goes out in two writes (head, body): with Nagle's algorithm the
    // second waits for the client's delayed ACK, some 40 ms a request.
    server.set_tcp_nodelay(true);
    // The library's default also sets SO_REUSEPORT, with which a second server on
    // the same port would start and quietly take half the connections: only
    // SO_REUSEADDR, so that a restart finds the port free at once.
    server.set_socket_options([](socket_t socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server.set_keep_alive_max_count(100);
    server.set_keep_alive_timeout(5);
    server.set_read_timeout(5);
    server.set_write_timeout(5);
    server.set_payload_max_length(kMaxBodyBytes);
    server.set_pre_routing_handler([&watch](const httplib::Request&, httplib::Response&) {
        watch.allow(kAnswerTime);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Called once an answer is sent: the connection waits for its next request.
    server.set_logger([&watch](const httplib::Request&, const httplib::Response&) {
        watch.allow(kIdleTime, false);
    });
    // Answers the library makes itself (404, 413, 414, a request it cannot read)
    // get a body like ours.
    server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            answerError(res, Error(10000 + res.status, statusText(res.status)));
            return httplib::Server::HandlerResponse::Handled;
        }));
    installGeocodeRoutes(server, context);
    installInfoRoutes(server, context);
    installPageRoutes(server, context);

    int port = request.port;
    if (port == 0)
        port = server.bind_to_any_port(request.bind);
    else if (!server.bind_to_port(request.bind, port))
        port = -1;
    if (port <= 0) {
        Outcome refused = Outcome::failed();
        refused.kind = Outcome::Kind::Refused;
        refused.report.push_back(
            standardErrorText(Error(errno, "待ち受けを開始できません"),
                              request.bind + " ポート " + std::to_string(request.port)));
        return refused;
    }
    server.new_task_queue = [&] { return new WatchedPool(threads, watch, port); };

    std::atomic<bool> done{false};
    std::thread stopper([&] {
        // Again until the server has ended: a stop before it listens would be lost.
        while (!done.load()) {
            if (stop.stopRequested()) {
                // No new connection: the listener is shut, and the library's accept
                // loop ends; the idle connections end, the busy ones finish their
                // answer, streamed or not (the library's own stop() would cut a
                // streamed answer short).
                for (int socket : socketsOnPort(port)) {
                    if (peerOf(socket).empty())
                        ::shutdown(socket, SHUT_RDWR);
                }
                watch.endIdle();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const std::string host =
        request.bind.find(':') != std::string::npos ? "[" + request.bind + "]" : request.bind;
    listening("http://" + host + ":" + std::to_string(port) + "/");
    server.listen_after_bind();
    done = true;
    stopper.join();
    return Outcome::completed();
}

}  // namespace mrk2::serve
