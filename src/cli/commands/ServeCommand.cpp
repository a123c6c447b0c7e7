// mrk2cli serve: answers addresses over HTTP until SIGTERM or SIGINT.
#include <pthread.h>

#include <csignal>
#include <iostream>
#include <thread>

#include "app/ErrorReport.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "serve/GeocodeServer.h"

namespace mrk2::cli {

namespace {

int runServe(CommandContext& ctx);

const CommandInfo kInfo{"serve", "serve [--bind ADDRESS] [--port N] [--threads N]",
                        "地域別ＤＢの住所をHTTPで答える（既定は 127.0.0.1:8080）", &runServe};

MRK2_COMMAND(kInfo);

// A number from `low` to `high` written in plain digits, or nothing.
std::optional<int> boundedNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int n = std::stoi(text);
    return n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

// The operation itself, over plain options: the command's words only fill them.
int serveWith(CommandContext& ctx, const serve::ServeRequest& request) {
    // SIGTERM and SIGINT are taken by a thread of their own, as a Stop: every
    // other thread, started after this, has them blocked.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    StopControl stop;
    std::atomic<bool> over{false};
    std::thread waiter([&] {
        const timespec tick{0, 100 * 1000 * 1000};
        while (!over.load()) {
            if (sigtimedwait(&signals, nullptr, &tick) > 0)
                stop.requestStop();
        }
    });
    Outcome outcome;
    try {
        outcome = serve::serveRegions(request, stop, [](const std::string& url) {
            std::cout << url << " で待ち受けています（終了は Ctrl-C）" << std::endl;
        });
    } catch (const std::exception& e) {
        outcome = failure(e);
    }
    over = true;
    waiter.join();
    if (!outcome.succeeded()) {
        tellOutcome(ctx.person, outcome);
        return kExitFailed;
    }
    return kExitOk;
}

int runServe(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto bind = args.option("--bind");
    auto port = args.option("--port");
    auto threads = args.option("--threads");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (!words.empty())
        return usageError(kInfo, "serve は引数を取りません。");
    serve::ServeRequest request;
    request.dbDir = ctx.settings.dbDir;
    if (bind)
        request.bind = *bind;
    if (port) {
        auto n = boundedNumber(*port, 0, 65535);
        if (!n)
            return usageError(kInfo, "--port には 0 から 65535 までの数を指定して下さい。");
        request.port = *n;
    }
    if (threads) {
        auto n = boundedNumber(*threads, 1, 1024);
        if (!n)
            return usageError(kInfo, "--threads には 1 から 1024 までの数を指定して下さい。");
        request.threads = static_cast<std::size_t>(*n);
    }
    return serveWith(ctx, request);
}

}  // namespace

}  // namespace mrk2::cli
