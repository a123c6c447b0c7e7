#include "support/ManPage.h"

#include <regex>

#include "support/TempDir.h"

namespace mrk2::test {

std::string manPageText(const std::string& sourcePath) {
    std::string roff = readFile(
        sourcePath.starts_with("/") ? sourcePath : std::string(MRK2_SOURCE_DIR) + "/" + sourcePath);
    roff = std::regex_replace(roff, std::regex(R"(\\f[BIRP])"), "");
    roff = std::regex_replace(roff, std::regex(R"(\\c)"), "");
    return std::regex_replace(roff, std::regex(R"(\\-)"), "-");
}

std::set<std::string> longOptionsIn(const std::string& text) {
    std::set<std::string> out;
    const std::regex option("--[a-z][a-z-]*");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
        out.insert(it->str());
    return out;
}

}  // namespace mrk2::test
