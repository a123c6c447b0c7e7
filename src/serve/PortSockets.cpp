#include "serve/PortSockets.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>

namespace mrk2::serve {

namespace {

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

}  // namespace

std::vector<int> socketsOnPort(int port) {
    std::vector<int> found;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return found;
    while (dirent* e = ::readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(e->d_name, &end, 10);
        if (end != e->d_name && *end == '\0' && fd != ::dirfd(dir) &&
            localPort(static_cast<int>(fd)) == port)
            found.push_back(static_cast<int>(fd));
    }
    ::closedir(dir);
    return found;
}

std::string peerOf(int fd) {
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return {};
    return std::string(reinterpret_cast<const char*>(&a), len);
}

}  // namespace mrk2::serve
