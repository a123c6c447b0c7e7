#pragma once
#include <optional>
#include <string>

#include "base/IniDocument.h"

namespace mrk2 {

// The settings file on disk, read and written through IniDocument: the Windows
// profile functions' rules, in CP932 or UTF-8 as the file already is.

// The value of `key` in `section` as IniDocument::value returns it; nullopt also
// when the file is missing or cannot be read. Throws mrk2::Error
// (FormatError::InvalidEncoding) for a file with a NUL byte, naming its line; the
// caller adds the file as context.
std::optional<std::string> readProfileString(const std::string& file, const std::string& section,
                                             const std::string& key);

// readProfileString with leading and trailing blanks removed, or `defaultValue` when
// there is no value.
std::string getIniString(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& defaultValue);

// Sets one key as IniDocument::set does, blanks and tabs around the section and
// key names ignored; the file is created (CP932) when missing. The new content
// replaces the old file in one rename, so a crash leaves the old or the new file.
// Throws mrk2::Error, leaving the file as it was: the reasons of
// IniDocument::set, a file that cannot be read (it must not be replaced by one
// that lost its other lines) or written (errno numbers).
void writeIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

// writeIniString that answers false instead of throwing, as the Windows function
// does.
bool putIniString(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

}  // namespace mrk2
