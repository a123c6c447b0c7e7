#include "support/TempDir.h"

#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/Cp932.h"

namespace mrk2::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "mrk2test.XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    std::string p = file(name);
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + p);
    return p;
}

std::string sjis(const std::string& utf8) {
    auto r = utf8ToCp932(utf8);
    if (!r)
        throw std::runtime_error("not encodable in CP932: " + utf8);
    return *r;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void setModifiedTime(const std::string& path, long long epochSeconds) {
    struct utimbuf t;
    t.actime = static_cast<time_t>(epochSeconds);
    t.modtime = static_cast<time_t>(epochSeconds);
    if (::utime(path.c_str(), &t) != 0)
        throw std::runtime_error("utime failed: " + path);
}

}  // namespace mrk2::test
