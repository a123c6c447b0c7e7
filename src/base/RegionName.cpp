#include "base/RegionName.h"

#include <algorithm>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"

namespace mrk2 {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters compared without case: a file system that ignores case (a
// mounted Windows share) would make MRK2.mdb the base database too.
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

bool endsWith(const std::string& name, const std::string& suffix) {
    return name.size() >= suffix.size() &&
           sameName(name.substr(name.size() - suffix.size()), suffix);
}

std::string stem(const char* fileName) {
    std::string s = fileName;
    return s.substr(0, s.size() - std::string(files::kDbExtension).size());
}

}  // namespace

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find(kPathSeparator) == std::string::npos && name.find('\0') == std::string::npos;
}

namespace {

enum class NameFault { None, NotAFileName, Reserved };

NameFault faultOf(const std::string& name) {
    // A control character (a line break, a tab) would break every listing and
    // record that names the region.
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
    if (!isPlainFileName(name) || control)
        return NameFault::NotAFileName;
    const bool reserved =
        sameName(name, stem(files::kBaseDb)) || sameName(name, stem(files::kPostalWork)) ||
        sameName(name, stem(files::kPostalCompacted)) || endsWith(name, files::kRegionWorkSuffix) ||
        endsWith(name, files::kRegionCompactedSuffix);
    return reserved ? NameFault::Reserved : NameFault::None;
}

}  // namespace

void checkRegionName(const std::string& name) {
    switch (faultOf(name)) {
        case NameFault::None:
            return;
        case NameFault::NotAFileName:
            throw Refusal("この地域名はファイル名に使えません。\n" + name);
        case NameFault::Reserved:
            throw Refusal(
                "この地域名は使えません。基本データベースまたは作業ファイルの名前と重なります。\n" +
                name);
    }
}

bool isUsableRegionName(const std::string& name) {
    return faultOf(name) == NameFault::None;
}

}  // namespace mrk2
