#pragma once
#include <climits>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mrk2 {

// Longest value the tool reads, in the file's bytes: the longest path the system
// allows (PATH_MAX counts the terminating NUL), so every path the tool writes
// reads back whole.
inline constexpr std::size_t kMaxIniValueBytes = PATH_MAX - 1;

// The text of a settings file: "[section]" headers, "key=value" lines, ";"
// comment lines, read and changed the way the Windows profile functions do it, so
// that a file copied from a Windows installation reads the same here and keeps
// its look after we write to it.
//
// Encoding: CP932, as Windows keeps the file, unless the file starts with a UTF-8
// byte order mark, or its non-ASCII bytes are valid UTF-8 and either not valid
// CP932 or holding a character of three or more bytes (kana, kanji): a file
// written by a Linux editor. Many short Japanese texts in UTF-8 are valid CP932
// by chance ("東京都.mdb" is), while CP932 text is valid UTF-8 by chance only as
// pairs of half-width katakana, which read as Latin letters (ﾃｱ as ñ). Values are
// written in the file's own encoding, and every byte outside the written value
// stays as it was, byte order mark included.
class IniDocument {
  public:
    enum class Encoding { Cp932, Utf8 };

    // An empty file: CP932, CR LF line ends.
    IniDocument() = default;
    // Throws mrk2::Error (FormatError::InvalidEncoding) naming the line of a NUL
    // byte: no profile reader could see past it.
    static IniDocument parse(std::string_view bytes);

    Encoding encoding() const { return encoding_; }
    std::string bytes() const;

    // The value of `key` in `section` (UTF-8) as the profile reader returns it:
    // sections and keys matched without regard to ASCII case (the first section of
    // that name only), blanks and tabs around the value dropped, one pair of
    // matching enclosing quotes (" or ') removed, cut at kMaxIniValueBytes bytes
    // without splitting a character. nullopt when the section or key is missing
    // or the value is empty. Lines that are not valid in the file's encoding never
    // match.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets one key (UTF-8 text) so that value() returns exactly `value`: only that
    // key's line changes, keeping the file's spelling of the key; a new key goes
    // after the last line with content in its section, a new section at the end.
    // A value with blanks around it or with enclosing quotes is written in quotes
    // so that reading does not take them off. Throws mrk2::Error, leaving the
    // document as it was, for text that would not read back the same: a line
    // break or NUL, text the file's encoding cannot hold exactly
    // (FormatError::InvalidEncoding), an empty section or key, "]" in a section,
    // "=" in a key or a key that starts like a section or a comment
    // (FormatError::InvalidName), a value over kMaxIniValueBytes
    // (FormatError::TooManyEntries).
    void set(std::string_view section, std::string_view key, std::string_view value);

  private:
    struct Line {
        std::string raw;  // bytes without the line end
        std::string eol;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    struct Place {
        std::optional<std::size_t> section;  // header line of the first matching section
        std::optional<std::size_t> key;      // the key's line in that section
        std::size_t insertAt = 0;            // where a new key of that section goes
    };

    Place locate(std::string_view section, std::string_view key) const;
    void apply(std::string_view section, std::string_view key, const std::string& sectionBytes,
               const std::string& keyBytes, const std::string& valueBytes);

    std::vector<Line> lines_;
    std::string eol_ = "\r\n";  // for new lines: the file's first line end
    Encoding encoding_ = Encoding::Cp932;
    bool bom_ = false;
};

}  // namespace mrk2
