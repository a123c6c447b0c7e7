#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace mrk2::serve {

// Gives every connection a deadline and ends the connections that pass it, so
// that no client can hold a server thread: one that sends its request a byte at
// a time, leaves a body unfinished or reads the answer too slowly has its socket
// shut down, and the thread serving it returns. Each server thread serves one
// connection at a time, and the calls below name the calling thread's.
//
// cpp-httplib hands an accepted connection to its task queue as a closure that
// does not name the socket; adopt(), called by the queue as the connection is
// handed over, finds it: the one connected socket on the server's port whose
// peer no connection of this watch has.
class ConnectionWatch {
  public:
    using Clock = std::chrono::steady_clock;

    ConnectionWatch();
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // The socket of the connection just accepted on `port`, as a duplicate the
    // watch owns; -1 when it cannot be told.
    int adopt(int port);
    // The calling thread starts serving an adopted socket, idle until its first
    // request; leave() ends that (and closes the duplicate).
    void enter(int adopted, Clock::duration idleTime);
    void leave();
    // The calling thread's connection must be done with this step in `time`; a
    // busy one is left alone by endIdle().
    void allow(Clock::duration time, bool busy = true);
    // Ends every connection that waits for a request: the server is stopping.
    void endIdle();

  private:
    struct Entry {
        Clock::time_point deadline = Clock::time_point::max();
        bool busy = false;
        std::string peer;
    };
    void watch();

    std::mutex lock_;
    std::condition_variable wake_;
    std::map<int, Entry> entries_;  // by a duplicate of the socket, closed on leave()
    std::set<std::string> peers_;   // of the adopted connections
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace mrk2::serve
