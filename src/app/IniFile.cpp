#include "app/IniFile.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "app/Cp932.h"
#include "app/Error.h"
#include "app/FileOps.h"
#include "app/Paths.h"

namespace mrk2 {

namespace {

std::string_view trimmed(std::string_view s, std::string_view blanks = " \t") {
    std::size_t b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos)
        return {};
    std::size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

bool isCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// At most `maxBytes` bytes of CP932 text, never ending in the first half of a
// double-byte character.
std::string cutCp932(const std::string& bytes, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t len = isCp932LeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + len > maxBytes)
            break;
        i += len;
    }
    return bytes.substr(0, i);
}

struct Line {
    std::string raw;  // CP932 bytes without the line ending
    std::string eol;  // "\r\n", "\n", "\r" or "" for a last line without one
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string name;   // section or key name (UTF-8)
    std::string value;  // key value (UTF-8), blanks around it removed
};

// Lines that are not valid CP932 cannot be one of ours; they are kept as they
// are and never match.
ParsedLine parseLine(const std::string& raw) {
    ParsedLine p;
    std::optional<std::string> text = cp932ToUtf8(raw);
    if (!text)
        return p;
    std::string_view t = trimmed(*text);
    if (t.empty() || t.front() == ';')
        return p;
    if (t.front() == '[') {
        std::size_t close = t.find(']');
        p.kind = LineKind::Section;
        p.name = trimmed(t.substr(1, close == std::string_view::npos ? t.npos : close - 1));
        return p;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return p;
    p.kind = LineKind::Key;
    p.name = trimmed(t.substr(0, eq));
    p.value = trimmed(t.substr(eq + 1));
    return p;
}

class IniDocument {
  public:
    // A missing file reads as an empty one. `readable` tells a file that is there but
    // cannot be read, which a reader treats as missing and a writer must not replace.
    static IniDocument read(const std::string& path, bool* readable = nullptr) {
        IniDocument doc;
        errno = 0;
        std::ifstream in(path, std::ios::binary);
        if (readable)
            *readable = in.good() || errno == ENOENT;
        if (!in)
            return doc;
        std::ostringstream ss;
        ss << in.rdbuf();
        if (in.bad() && readable)
            *readable = false;
        doc.split(ss.str());
        return doc;
    }

    std::optional<std::string> value(const std::string& section, const std::string& key) const {
        Place p = locate(section, key);
        if (!p.key)
            return std::nullopt;
        return parseLine(lines_[*p.key].raw).value;
    }

    // `sectionBytes`, `keyBytes` and `valueBytes` are CP932 already.
    void set(const std::string& section, const std::string& key, const std::string& sectionBytes,
             const std::string& keyBytes, const std::string& valueBytes) {
        Place p = locate(section, key);
        if (p.key) {
            // Keep the key as the file spells it; the spacing around "=" is not kept,
            // as the Windows function does not keep it either.
            std::string name = parseLine(lines_[*p.key].raw).name;
            lines_[*p.key].raw = utf8ToCp932(name).value_or(keyBytes) + "=" + valueBytes;
            return;
        }
        Line keyLine{keyBytes + "=" + valueBytes, eol_};
        if (p.section) {
            lines_.insert(lines_.begin() + static_cast<long>(p.insertAt), keyLine);
            if (p.insertAt > 0 && lines_[p.insertAt - 1].eol.empty())
                lines_[p.insertAt - 1].eol = eol_;
            return;
        }
        if (!lines_.empty() && lines_.back().eol.empty())
            lines_.back().eol = eol_;
        lines_.push_back(Line{"[" + sectionBytes + "]", eol_});
        lines_.push_back(keyLine);
    }

    std::string bytes() const {
        std::string out;
        for (const Line& l : lines_)
            out += l.raw + l.eol;
        return out;
    }

  private:
    struct Place {
        std::optional<std::size_t> section;  // header line of the first matching section
        std::optional<std::size_t> key;      // the key's line in that section
        std::size_t insertAt = 0;            // where a new key of that section goes
    };

    void split(const std::string& bytes) {
        bool eolSeen = false;
        std::size_t i = 0;
        while (i < bytes.size()) {
            std::size_t j = bytes.find_first_of("\r\n", i);
            if (j == std::string::npos) {
                lines_.push_back(Line{bytes.substr(i), ""});
                break;
            }
            std::size_t eolLen =
                (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ? 2 : 1;
            lines_.push_back(Line{bytes.substr(i, j - i), bytes.substr(j, eolLen)});
            if (!eolSeen) {
                eol_ = lines_.back().eol;  // new lines follow the file's own convention
                eolSeen = true;
            }
            i = j + eolLen;
        }
    }

    // Only the first section of a name counts, as with the Windows functions.
    Place locate(const std::string& section, const std::string& key) const {
        Place p;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            ParsedLine l = parseLine(lines_[i].raw);
            if (l.kind == LineKind::Section) {
                if (p.section)
                    break;
                if (sameIgnoringAsciiCase(l.name, section)) {
                    p.section = i;
                    p.insertAt = i + 1;
                }
                continue;
            }
            if (!p.section)
                continue;
            if (l.kind == LineKind::Key && sameIgnoringAsciiCase(l.name, key)) {
                p.key = i;
                return p;
            }
            // A new key goes after the last line with content, so blank lines that
            // separate this section from the next stay where they are.
            if (!trimmed(lines_[i].raw).empty())
                p.insertAt = i + 1;
        }
        return p;
    }

    std::vector<Line> lines_;
    std::string eol_ = "\r\n";
};

std::string withoutEnclosingQuotes(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool storable(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos && text.find('\0') == std::string::npos;
}

}  // namespace

std::optional<std::string> readProfileString(const std::string& file, const std::string& section,
                                             const std::string& key) {
    std::optional<std::string> v =
        IniDocument::read(file).value(std::string(trimmed(section)), std::string(trimmed(key)));
    if (!v)
        return std::nullopt;
    std::string unquoted = withoutEnclosingQuotes(*v);
    std::optional<std::string> bytes = utf8ToCp932(unquoted);
    if (!bytes)
        return std::nullopt;  // cannot happen for text that came from CP932
    std::string cut = cutCp932(*bytes, kMaxIniValueBytes);
    if (cut.empty())
        return std::nullopt;
    return cp932ToUtf8(cut);
}

std::string getIniString(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& defaultValue) {
    std::optional<std::string> v = readProfileString(file, section, key);
    if (!v)
        return defaultValue;
    return std::string(trimmed(*v, " "));
}

bool putIniString(const std::string& file, const std::string& sectionName,
                  const std::string& keyName, const std::string& value) {
    std::string section(trimmed(sectionName)), key(trimmed(keyName));
    if (section.empty() || key.empty() || !storable(section) || !storable(key) ||
        !storable(value) || key.find('=') != std::string::npos ||
        section.find(']') != std::string::npos) {
        return false;
    }
    std::optional<std::string> s = utf8ToCp932(section), k = utf8ToCp932(key),
                               v = utf8ToCp932(value);
    if (!s || !k || !v)
        return false;
    bool readable = true;
    IniDocument doc = IniDocument::read(file, &readable);
    if (!readable)
        return false;
    doc.set(section, key, *s, *k, *v);
    try {
        // A per-person settings file under ~/.config may be the first of its directory.
        makeDirectories(dirNameOf(file));
        writeFileAtomically(file, doc.bytes());
    } catch (const Error&) {
        return false;
    }
    return true;
}

}  // namespace mrk2
