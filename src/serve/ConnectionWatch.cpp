#include "serve/ConnectionWatch.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace mrk2::serve {

namespace {

// The duplicate of the socket the calling thread serves. A duplicate, because
// the server closes its own descriptor before leave() could forget it, and the
// number may then be another connection's; shutdown() on the duplicate acts on
// the same socket, which stays this one until leave() closes the duplicate.
thread_local int tCurrent = -1;

constexpr std::chrono::milliseconds kTick{100};

// The local port of a TCP socket, or -1.
int localPort(int fd) {
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return -1;
    if (a.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
    if (a.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port);
    return -1;
}

// The peer's address as bytes; empty for a socket with no peer (a listener).
std::string peerOf(int fd) {
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return {};
    return std::string(reinterpret_cast<const char*>(&a), len);
}

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
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    std::lock_guard<std::mutex> hold(lock_);
    int adopted = -1;
    while (dirent* e = ::readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(e->d_name, &end, 10);
        if (end == e->d_name || *end != '\0' || fd == ::dirfd(dir) || localPort(fd) != port)
            continue;
        std::string peer = peerOf(static_cast<int>(fd));
        if (peer.empty() || peers_.count(peer))
            continue;
        adopted = ::dup(static_cast<int>(fd));
        if (adopted >= 0) {
            peers_.insert(peer);
            entries_[adopted].peer = std::move(peer);
        }
        break;
    }
    ::closedir(dir);
    return adopted;
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
