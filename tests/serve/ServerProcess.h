#pragma once
#include <sys/types.h>

#include <string>

namespace mrk2::test {

// `mrk2cli --ini INI serve --port 0` run as a child process: the constructor
// waits (10 s at most) for the URL it announces. The destructor ends a server
// still running with SIGKILL.
class ServerProcess {
  public:
    explicit ServerProcess(const std::string& ini, const std::string& threads = "4");
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // Sends the signal and waits up to `seconds` for the exit: its status, or -1.
    int stop(int signal, int seconds);

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace mrk2::test
