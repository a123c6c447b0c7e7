#pragma once
#include <ctime>
#include <string>
#include <vector>

namespace mrk2::test {

// One member of a zip archive a test writes.
struct ZipEntry {
    std::string name;  // as stored, backslashes and all
    std::string bytes;
    std::time_t modified = 1700000000;
    bool stored = false;  // no compression: the member's bytes stand in the file as they are
};

// Writes a zip archive (libzip) and returns its path.
std::string writeZip(const std::string& path, const std::vector<ZipEntry>& entries);

}  // namespace mrk2::test
