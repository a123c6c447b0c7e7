#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace mrk2 {

inline constexpr char kPathSeparator = '/';

// Trims blanks (U+0020) at both ends; appends one separator unless the result is
// empty or already ends with one.
std::string addPathSeparator(const std::string& path);

// dir + separator + name, with a single separator between them.
std::string joinPath(const std::string& dir, const std::string& name);

// The part after the last separator, and the part before it (no trailing separator;
// "/" for a file in the root).
std::string fileNameOf(const std::string& path);
std::string dirNameOf(const std::string& path);

// A relative path made absolute against the current directory (lexically normal).
std::string absolutePath(const std::string& path);

// True when a regular file (not a directory) exists at exactly this path.
bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// Throws mrk2::Error when something is at `path` that cannot be read as a file:
// a directory, a FIFO or a device (FormatError::NotAFile), or a path this
// person may not see (EACCES), so that neither is reported as missing. A
// missing path or a regular file is no fault here.
void refuseWhatIsNoReadableFile(const std::string& path);
// The size of a file in bytes; 0 when it cannot be read.
std::uint64_t fileSizeOf(const std::string& path);

// Last-modified time as local "YYYY-MM-DD HH:MM:SS", whole seconds; nullopt when
// the file cannot be read.
std::optional<std::string> fileModifiedText(const std::string& path);

// A point in time as local "YYYY-MM-DD HH:MM:SS".
std::string localTimeText(std::time_t t);

// The directory of the running executable.
std::string executableDir();

}  // namespace mrk2
