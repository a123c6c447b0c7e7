// mrk2cli serve: answers addresses over HTTP until SIGTERM or SIGINT.
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <thread>

#include "base/ErrorReport.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "serve/GeocodeServer.h"

namespace mrk2::cli {

namespace {

class ServeCommand : public Command {
  public:
    ServeCommand() : Command("serve", "地域別ＤＢの住所をHTTPで答える（既定は 127.0.0.1:8080）") {}
    void declare(Declaration& d) override {
        d.option("--bind", "ADDRESS", bind_);
        d.option("--port", "N", port_, 0, 65535);
        d.option("--threads", "N", threads_, 1, 1024);
    }
    int run(CommandContext& ctx) override;

  private:
    std::optional<std::string> bind_;
    std::optional<int> port_;
    std::optional<int> threads_;
};

MRK2_COMMAND(ServeCommand);

int ServeCommand::run(CommandContext& ctx) {
    serve::ServeRequest request;
    request.dbDir = ctx.settings.dbDir;
    request.bind = bind_.value_or(request.bind);
    request.port = port_.value_or(request.port);
    request.threads = static_cast<std::size_t>(threads_.value_or(0));

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

}  // namespace

}  // namespace mrk2::cli
