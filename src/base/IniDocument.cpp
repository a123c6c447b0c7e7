#include "base/IniDocument.h"

#include "base/Cp932.h"
#include "base/Error.h"
#include "base/Utf8.h"

namespace mrk2 {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view s) {
    std::size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
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

bool hasCharacterOfThreeOrMoreBytes(std::string_view utf8) {
    for (unsigned char c : utf8) {
        if (utf8::sequenceLength(c) >= 3)
            return true;
    }
    return false;
}

IniDocument::Encoding detectEncoding(std::string_view bytes) {
    using Encoding = IniDocument::Encoding;
    if (bytes.substr(0, kBom.size()) == kBom)
        return Encoding::Utf8;
    if (isAscii(bytes) || !isValidUtf8(bytes))
        return Encoding::Cp932;
    if (!cp932ToUtf8(bytes) || hasCharacterOfThreeOrMoreBytes(bytes))
        return Encoding::Utf8;
    return Encoding::Cp932;
}

std::optional<std::string> decode(std::string_view bytes, IniDocument::Encoding encoding) {
    if (encoding == IniDocument::Encoding::Cp932)
        return cp932ToUtf8(bytes);
    if (!isValidUtf8(bytes))
        return std::nullopt;
    return std::string(bytes);
}

bool isCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// At most `maxBytes` bytes, never ending inside a character.
std::string_view cut(std::string_view bytes, std::size_t maxBytes, IniDocument::Encoding encoding) {
    if (bytes.size() <= maxBytes)
        return bytes;
    std::size_t end = maxBytes;
    if (encoding == IniDocument::Encoding::Utf8) {
        while (end > 0 && utf8::isContinuation(static_cast<unsigned char>(bytes[end])))
            --end;
        return bytes.substr(0, end);
    }
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t len = isCp932LeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + len > maxBytes)
            break;
        i += len;
    }
    return bytes.substr(0, i);
}

bool enclosedInQuotes(std::string_view v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

enum class LineKind { Other, Section, Key };

// One line as the profile reader sees it. '=', ';', '[', quotes, blanks and tabs
// are never part of a double-byte character in either encoding, so a key line is
// cut up on its bytes; ']' can be the second byte of a CP932 character, so a
// section name is found in the decoded text.
struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string name;           // section or key name (UTF-8)
    std::string_view keyBytes;  // the key as the file spells it
    std::string_view value;     // the value's bytes, blanks and tabs around it removed
};

// Lines that are not valid in the file's encoding cannot be one of ours; they are
// kept as they are and never match.
ParsedLine parseLine(std::string_view raw, IniDocument::Encoding encoding) {
    ParsedLine p;
    std::optional<std::string> text = decode(raw, encoding);
    if (!text)
        return p;
    std::string_view t = trimmed(raw);
    if (t.empty() || t.front() == ';')
        return p;
    if (t.front() == '[') {
        std::string_view s = trimmed(*text).substr(1);
        p.kind = LineKind::Section;
        p.name = trimmed(s.substr(0, s.find(']')));
        return p;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return p;
    p.kind = LineKind::Key;
    p.keyBytes = trimmed(t.substr(0, eq));
    p.name = decode(p.keyBytes, encoding).value_or("");
    p.value = trimmed(t.substr(eq + 1));
    return p;
}

std::string lineNumberOfNul(std::string_view bytes, std::size_t nul) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < nul; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && bytes[i + 1] != '\n'))
            ++line;
    }
    return std::to_string(line);
}

// Each character of `text` that CP932 cannot hold, or holds only as another
// character (〜 would read back as ～), quoted for a message.
std::string charactersCp932Changes(std::string_view text) {
    std::string found;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8::nextCharacter(text, i) - i;
        std::string_view ch = text.substr(i, len);
        std::optional<std::string> bytes = utf8ToCp932(ch);
        if (!bytes || cp932ToUtf8(*bytes) != std::optional<std::string>(ch))
            found += "「" + std::string(ch) + "」";
        i += len;
    }
    return found;
}

Error invalidName(const char* what, std::string_view name) {
    return Error(FormatError::InvalidName,
                 std::string("設定の") + what + "「" + std::string(name) + "」は書けません。");
}

}  // namespace

IniDocument IniDocument::parse(std::string_view bytes) {
    if (std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        throw Error(FormatError::InvalidEncoding,
                    lineNumberOfNul(bytes, nul) + " 行目: NUL バイト (0x00) があります。");
    }
    IniDocument doc;
    doc.encoding_ = detectEncoding(bytes);
    if (bytes.substr(0, kBom.size()) == kBom) {
        doc.bom_ = true;
        bytes.remove_prefix(kBom.size());
    }
    bool eolSeen = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t j = bytes.find_first_of("\r\n", i);
        if (j == std::string_view::npos) {
            doc.lines_.push_back(Line{std::string(bytes.substr(i)), ""});
            break;
        }
        std::size_t eolLen =
            (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ? 2 : 1;
        doc.lines_.push_back(
            Line{std::string(bytes.substr(i, j - i)), std::string(bytes.substr(j, eolLen))});
        if (!eolSeen) {
            doc.eol_ = doc.lines_.back().eol;  // new lines follow the file's own convention
            eolSeen = true;
        }
        i = j + eolLen;
    }
    return doc;
}

std::string IniDocument::bytes() const {
    std::string out(bom_ ? kBom : "");
    for (const Line& l : lines_)
        out += l.raw + l.eol;
    return out;
}

// Only the first section of a name counts, as with the Windows functions.
IniDocument::Place IniDocument::locate(std::string_view section, std::string_view key) const {
    Place p;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        ParsedLine l = parseLine(lines_[i].raw, encoding_);
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

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    Place p = locate(section, key);
    if (!p.key)
        return std::nullopt;
    std::string_view v = parseLine(lines_[*p.key].raw, encoding_).value;
    if (enclosedInQuotes(v))
        v = v.substr(1, v.size() - 2);
    v = cut(v, kMaxIniValueBytes, encoding_);
    if (v.empty())
        return std::nullopt;
    return decode(v, encoding_);
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    for (std::string_view text : {section, key, value}) {
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
            throw Error(FormatError::InvalidEncoding,
                        "設定 " + std::string(key) + " に改行か NUL があるため書けません。");
        }
        if (!isValidUtf8(text)) {
            throw Error(
                FormatError::InvalidEncoding,
                "設定 " + std::string(key) + " に UTF-8 として正しくないバイトがあります。");
        }
    }
    if (key.empty() || key != trimmed(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';') {
        // Such a key would be written as a line that reads back as something else.
        throw invalidName("キー名", key);
    }
    if (section.empty() || section != trimmed(section) ||
        section.find(']') != std::string_view::npos) {
        throw invalidName("セクション名", section);
    }

    // Reading takes off blanks and one pair of quotes around a value; quotes put
    // on here keep what is inside.
    std::string text(value);
    if (text != trimmed(text) || enclosedInQuotes(text))
        text = "\"" + text + "\"";

    std::string sectionBytes(section), keyBytes(key), valueBytes(value);
    if (encoding_ == Encoding::Cp932) {
        std::string changed =
            charactersCp932Changes(std::string(section) + std::string(key) + std::string(value));
        if (!changed.empty()) {
            throw Error(FormatError::InvalidEncoding,
                        "設定 " + std::string(key) + " の" + changed +
                            "は設定ファイルの文字コード (CP932) で正しく表せないため書けません。");
        }
        sectionBytes = *utf8ToCp932(section);
        keyBytes = *utf8ToCp932(key);
        valueBytes = *utf8ToCp932(value);
        text = *utf8ToCp932(text);
    }
    if (valueBytes.size() > kMaxIniValueBytes) {
        throw Error(FormatError::TooManyEntries, "設定 " + std::string(key) +
                                                     " の値が長過ぎます。(最大" +
                                                     std::to_string(kMaxIniValueBytes) + "バイト)");
    }

    IniDocument before = *this;
    apply(section, key, sectionBytes, keyBytes, text);
    std::string after = bytes();
    if (detectEncoding(after) != encoding_ && !isAscii(after)) {
        *this = std::move(before);
        throw Error(
            FormatError::InvalidEncoding,
            "設定 " + std::string(key) +
                " の値を書くと、設定ファイルの文字コードが別のものと判定されるため書けません。");
    }
}

void IniDocument::apply(std::string_view section, std::string_view key,
                        const std::string& sectionBytes, const std::string& keyBytes,
                        const std::string& valueBytes) {
    Place p = locate(section, key);
    if (p.key) {
        // Keep the key as the file spells it; the spacing around "=" is not kept,
        // as the Windows function does not keep it either.
        Line& line = lines_[*p.key];
        line.raw = std::string(parseLine(line.raw, encoding_).keyBytes) + "=" + valueBytes;
        return;
    }
    if (!p.section) {
        if (!lines_.empty() && lines_.back().eol.empty())
            lines_.back().eol = eol_;
        lines_.push_back(Line{"[" + sectionBytes + "]", eol_});
        lines_.push_back(Line{keyBytes + "=" + valueBytes, eol_});
        return;
    }
    // The new line ends as the line before it does: a line end that only
    // follows the file's first one (a CR before a blank line ending in LF) would
    // join the next line break into one and swallow that blank line.
    Line& previous = lines_[p.insertAt - 1];
    if (previous.eol.empty())
        previous.eol = eol_;
    lines_.insert(lines_.begin() + static_cast<long>(p.insertAt),
                  Line{keyBytes + "=" + valueBytes, previous.eol});
}

}  // namespace mrk2
