#include "serve/ConnectionWatch.h"

#include <sys/socket.h>
#include <unistd.h>

#include "serve/PortSockets.h"

namespace mrk2::serve {

namespace {

// The duplicate of the socket the calling thread serves. A duplicate, because
// the server closes its own descriptor before leave() could forget it, and the
// number may then be another connection's; shutdown() on the duplicate acts on
// the same socket, which stays this one until leave() closes the duplicate.
thread_local int tCurrent = -1;

constexpr std::chrono::milliseconds kTick{100};

}  // namespace

ConnectionWatch::ConnectionWatch() : thread_([this] { watch(); }) {}

ConnectionWatch::~ConnectionWatch() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int ConnectionWatch::adopt(int port) {
    const std::vector<int> sockets = socketsOnPort(port);
    std::lock_guard<std::mutex> hold(lock_);
    for (int fd : sockets) {
        std::string peer = peerOf(fd);
        if (peer.empty() || peers_.count(peer))
            continue;
        const int adopted = ::dup(fd);
        if (adopted >= 0) {
            peers_.insert(peer);
            entries_[adopted].peer = std::move(peer);
        }
        return adopted;
    }
    return -1;
}

void ConnectionWatch::enter(int adopted, Clock::duration idleTime) {
    std::lock_guard<std::mutex> hold(lock_);
    tCurrent = adopted;
    auto it = entries_.find(adopted);
    if (it != entries_.end())
        it->second.deadline = Clock::now() + idleTime;
}

void ConnectionWatch::leave() {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = entries_.find(tCurrent);
    if (it != entries_.end()) {
        peers_.erase(it->second.peer);
        entries_.erase(it);
        ::close(tCurrent);
    }
    tCurrent = -1;
}

void ConnectionWatch::allow(Clock::duration time, bool busy) {
    std::lock_guard<std::mutex> hold(lock_);
    auto it = entries_.find(tCurrent);
    if (it != entries_.end()) {
        it->second.deadline = Clock::now() + time;
        it->second.busy = busy;
    }
}

void ConnectionWatch::endIdle() {
    std::lock_guard<std::mutex> hold(lock_);
    for (auto& [socket, entry] : entries_) {
        if (!entry.busy)
            ::shutdown(socket, SHUT_RDWR);
    }
}

void ConnectionWatch::watch() {
    std::unique_lock<std::mutex> hold(lock_);
    while (!stopping_) {
        wake_.wait_for(hold, kTick);
        const auto now = Clock::now();
        for (auto& [socket, entry] : entries_) {
            if (entry.deadline < now) {
                ::shutdown(socket, SHUT_RDWR);
                entry.deadline = Clock::time_point::max();
            }
        }
    }
}

}  // namespace mrk2::serve
