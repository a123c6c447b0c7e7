// The settings file: reading, and writing with everything the writer promises.
//
// Input: the file's bytes, optionally followed by 0x1E and a write of its own,
// "section 0x1F key 0x1F value". After a successful write the value must read
// back exactly, also from the written bytes parsed afresh, in the same encoding;
// every other key must read as before; the bytes may differ from the old ones
// in one line only (changed, inserted, or a new section of two lines at the end)
// with the key's spelling kept; and writing the same again changes nothing. A
// refused write leaves the document as it was.
#include <cstdint>
#include <optional>

#include "FuzzCheck.h"
#include "base/Cp932.h"
#include "base/Error.h"
#include "base/IniDocument.h"
#include "base/Utf8.h"

using namespace mrk2;
using mrk2::fuzz::RawLine;

namespace {

struct Write {
    std::string section, key, value;
};

std::string_view trimmed(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool eolMatches(std::string_view before, std::string_view after) {
    // A last line without a line end gets one when a line follows it.
    return before == after || before.empty();
}

bool sameLine(const RawLine& before, const RawLine& after) {
    return before.text == after.text && eolMatches(before.eol, after.eol);
}

// The new bytes are the old ones with one line changed (the key's spelling
// kept), one line inserted, or a section and its key appended.
bool oneLineEdited(std::string_view oldBytes, std::string_view newBytes) {
    std::vector<RawLine> a = mrk2::fuzz::splitLines(oldBytes), b = mrk2::fuzz::splitLines(newBytes);
    if (b.size() == a.size()) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].text == b[i].text && a[i].eol == b[i].eol)
                continue;
            ++changed;
            std::size_t eq = a[i].text.find('=');
            if (a[i].eol != b[i].eol || eq == std::string_view::npos ||
                b[i].text.substr(0, b[i].text.find('=')) != trimmed(a[i].text.substr(0, eq)))
                return false;
        }
        return changed <= 1;
    }
    if (b.size() == a.size() + 2) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (!sameLine(a[i], b[i]))
                return false;
        }
        return true;
    }
    if (b.size() != a.size() + 1)
        return false;
    std::size_t i = 0;
    while (i < a.size() && sameLine(a[i], b[i]))
        ++i;
    for (; i < a.size(); ++i) {
        if (!sameLine(a[i], b[i + 1]))
            return false;
    }
    return true;
}

// The sections and keys a file names, decoded, for checking that a write
// leaves the others alone.
std::vector<std::pair<std::string, std::string>> namedKeys(std::string_view bytes,
                                                           IniDocument::Encoding encoding) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    for (const RawLine& line : mrk2::fuzz::splitLines(bytes)) {
        std::optional<std::string> text = encoding == IniDocument::Encoding::Cp932
                                              ? cp932ToUtf8(line.text)
                                              : std::optional<std::string>(std::string(line.text));
        if (!text || !isValidUtf8(*text))
            continue;
        std::string_view t = trimmed(*text);
        if (!t.empty() && t.front() == '[') {
            section =
                trimmed(t.substr(1, t.find(']') == std::string_view::npos ? std::string_view::npos
                                                                          : t.find(']') - 1));
        } else if (t.find('=') != std::string_view::npos && keys.size() < 8) {
            keys.emplace_back(section, trimmed(t.substr(0, t.find('='))));
        }
    }
    return keys;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        if (up(a[i]) != up(b[i]))
            return false;
    }
    return true;
}

void checkWrite(IniDocument& doc, const Write& w,
                const std::vector<std::pair<std::string, std::string>>& keys, bool mustSucceed) {
    const std::string before = doc.bytes();
    std::vector<std::optional<std::string>> others;
    for (const auto& [s, k] : keys)
        others.push_back(doc.value(s, k));
    try {
        doc.set(w.section, w.key, w.value);
    } catch (const Error& e) {
        // Even a plain value may be refused when the line it replaces held the
        // only text that told the file's encoding.
        FUZZ_CHECK(!mustSucceed || e.description().find("文字コードが別") != std::string::npos);
        FUZZ_CHECK(e.number() > 10000);
        FUZZ_CHECK(doc.bytes() == before);
        return;
    }
    const std::string after = doc.bytes();
    std::optional<std::string> expected;
    if (!w.value.empty())
        expected = w.value;
    FUZZ_CHECK(doc.value(w.section, w.key) == expected);
    IniDocument reread = IniDocument::parse(after);
    FUZZ_CHECK(reread.encoding() == doc.encoding() || isAscii(after));
    FUZZ_CHECK(reread.value(w.section, w.key) == expected);
    FUZZ_CHECK(reread.bytes() == after);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (sameName(keys[i].first, w.section) && sameName(keys[i].second, w.key))
            continue;
        FUZZ_CHECK(reread.value(keys[i].first, keys[i].second) == others[i]);
    }
    bool bom = before.compare(0, 3, "\xEF\xBB\xBF") == 0;
    FUZZ_CHECK(bom == (after.compare(0, 3, "\xEF\xBB\xBF") == 0));
    FUZZ_CHECK(oneLineEdited(std::string_view(before).substr(bom ? 3 : 0),
                             std::string_view(after).substr(bom ? 3 : 0)));
    doc.set(w.section, w.key, w.value);
    FUZZ_CHECK(doc.bytes() == after);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::optional<Write> own;
    if (std::size_t rs = input.rfind('\x1E'); rs != std::string_view::npos) {
        std::string_view wanted = input.substr(rs + 1);
        input = input.substr(0, rs);
        std::size_t a = wanted.find('\x1F');
        std::size_t b = a == std::string_view::npos ? a : wanted.find('\x1F', a + 1);
        if (b != std::string_view::npos)
            own = Write{std::string(wanted.substr(0, a)),
                        std::string(wanted.substr(a + 1, b - a - 1)),
                        std::string(wanted.substr(b + 1))};
    }

    IniDocument doc;
    try {
        doc = IniDocument::parse(input);
    } catch (const Error& e) {
        FUZZ_CHECK(e.number() == FormatError::InvalidEncoding);
        FUZZ_CHECK(input.find('\0') != std::string_view::npos);
        return 0;
    }
    FUZZ_CHECK(input.find('\0') == std::string_view::npos);
    FUZZ_CHECK(doc.bytes() == input);

    auto keys = namedKeys(input, doc.encoding());
    for (const auto& [s, k] : keys) {
        std::optional<std::string> v = doc.value(s, k);
        FUZZ_CHECK(!v || (!v->empty() && isValidUtf8(*v) && v->size() <= kMaxIniValueBytes * 3));
    }
    // A plain value under a plain key can always be written.
    checkWrite(doc, Write{"MRK", "FUZZKEY", "v1"}, keys, true);
    for (const auto& [s, k] : keys) {
        if (!s.empty() && !k.empty())
            checkWrite(doc, Write{s, k, "/data/東京都〜"}, keys, false);
    }
    checkWrite(doc, Write{"MRK", "POSTALPATH", " \"/p/KEN_ALL.CSV\" "}, keys, false);
    if (own)
        checkWrite(doc, *own, keys, false);
    return 0;
}
