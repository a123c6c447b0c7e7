#pragma once
#include <optional>
#include <string>

namespace mrk2 {

// The settings file is the INI file a Windows installation of the tool keeps: CP932
// on disk, "[section]" headers, "key=value" lines, ";" comment lines. It is read and
// written the way the Windows profile functions do it, so that a file copied from such
// an installation reads the same here and keeps its look after we write to it.

// Longest value the tool ever reads, in CP932 bytes (a 127-byte buffer with its NUL).
inline constexpr std::size_t kMaxIniValueBytes = 126;

// The value of `key` in `section` as the profile reader returns it: sections and keys
// matched without regard to ASCII case (the first section of that name only), blanks
// and tabs around the value dropped, one pair of matching enclosing quotes (" or ')
// removed, cut at kMaxIniValueBytes CP932 bytes without splitting a double-byte
// character. nullopt when the file, section or key is missing or the value is empty.
std::optional<std::string> readProfileString(const std::string& file, const std::string& section,
                                             const std::string& key);

// readProfileString with leading and trailing blanks removed, or `defaultValue` when
// there is no value.
std::string getIniString(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& defaultValue);

// Sets one key: only that key's line changes (every other line, comment and line
// ending stays as it was); the key is added at the end of its section, the section at
// the end of the file, and the file is created when missing. The new content replaces
// the old file in one rename, so a crash leaves the old or the new file. Returns false,
// leaving the file as it was, when it cannot be written or when the text cannot be
// stored in it (a line break, a character CP932 lacks, an empty section or key, "=" in
// a key, "]" in a section).
bool putIniString(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

}  // namespace mrk2
