#pragma once
#include <string>
#include <vector>

namespace mrk2::serve {

// The process's own TCP sockets on a local port, by descriptor: the listener and
// the connections it accepted. cpp-httplib names neither to its user; the
// server finds them here (to watch a connection, to close the listener).
std::vector<int> socketsOnPort(int port);

// The peer's address as bytes; empty for a socket without one (the listener).
std::string peerOf(int socket);

}  // namespace mrk2::serve
