#pragma once
#include <string>
#include <vector>

namespace mrk2::test {

struct CliResult {
    int exitCode = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs the built mrk2cli with these arguments (stdin from /dev/null) in a fresh
// temporary current directory, and waits. Paths in the arguments must be absolute.
CliResult runCli(const std::vector<std::string>& args);

}  // namespace mrk2::test
