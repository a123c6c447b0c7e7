#include "base/IniFile.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string_view>

#include "base/Error.h"
#include "base/FileOps.h"
#include "base/Paths.h"

namespace mrk2 {

namespace {

std::string trimmed(std::string_view s, std::string_view blanks = " \t") {
    std::size_t b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos)
        return {};
    return std::string(s.substr(b, s.find_last_not_of(blanks) - b + 1));
}

// A missing file reads as an empty one. `readable` tells a file that is there but
// cannot be read, which a reader treats as missing and a writer must not replace.
IniDocument readDocument(const std::string& path, bool* readable = nullptr) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (readable)
        *readable = in.good() || errno == ENOENT;
    if (!in)
        return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        if (readable)
            *readable = false;
        return {};
    }
    return IniDocument::parse(ss.str());
}

}  // namespace

std::optional<std::string> readProfileString(const std::string& file, const std::string& section,
                                             const std::string& key) {
    return readDocument(file).value(trimmed(section), trimmed(key));
}

std::string getIniString(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& defaultValue) {
    std::optional<std::string> v = readProfileString(file, section, key);
    if (!v)
        return defaultValue;
    return trimmed(*v, " ");
}

void writeIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
    bool readable = true;
    IniDocument doc = readDocument(file, &readable);
    if (!readable)
        throw fileError(errno ? errno : EIO, file);
    doc.set(trimmed(section), trimmed(key), value);
    // A per-person settings file under ~/.config may be the first of its directory.
    makeDirectories(dirNameOf(file));
    writeFileAtomically(file, doc.bytes());
}

bool putIniString(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
    try {
        writeIniString(file, section, key, value);
    } catch (const Error&) {
        return false;
    }
    return true;
}

}  // namespace mrk2
