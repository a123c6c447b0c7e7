#include "support/CliRunner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "support/TempDir.h"

namespace mrk2::test {

CliResult runCli(const std::vector<std::string>& args, const std::string& input) {
    // Each run works in a directory of its own, which also takes its output: the
    // national postal build keeps its work copy in the current directory, and
    // the runs of tests going on in parallel must not share it.
    TempDir tmp;
    std::string outPath = tmp.file("out"), errPath = tmp.file("err");
    std::string inPath = input.empty() ? "/dev/null" : tmp.write("in", input);
    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (::chdir(tmp.path().c_str()) != 0)
            ::_exit(126);
        int in = ::open(inPath.c_str(), O_RDONLY);
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        std::string exe = MRK2_CLI_PATH;
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    r.out = readFile(outPath);
    r.err = readFile(errPath);
    return r;
}

}  // namespace mrk2::test
