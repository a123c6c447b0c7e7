#pragma once
#include <string>
#include <vector>

namespace mrk2::test {

struct CliResult {
    int exitCode = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs the built mrk2cli with these arguments in a fresh temporary current
// directory, and waits. Paths in the arguments must be absolute. Standard input
// reads `input` (nothing: /dev/null).
CliResult runCli(const std::vector<std::string>& args, const std::string& input = {});

}  // namespace mrk2::test
