#pragma once
#include <string>

namespace mrk2 {

// File operations that either complete or throw mrk2::Error (errno numbers).
// They are what "never lose a database" rests on: a file that replaces another is
// written in full, flushed to disk, and only then renamed over the old one.

void copyFile(const std::string& from, const std::string& to);  // overwrites `to`
// Removes a file; a missing file is not an error. Returns whether one was removed.
bool removeFile(const std::string& path);
// Removes a half-made file while an error is on its way: its own failure is not
// told, since the error that led here is the one to tell, and a file that
// stays is replaced by the next run.
void discardFile(const std::string& path) noexcept;
void syncFile(const std::string& path);
void syncDirectoryOf(const std::string& path);
// rename(2): atomic replacement of `to` on one file system, then a directory sync.
void renameReplacing(const std::string& from, const std::string& to);
// Writes `bytes` to a temporary file beside `path`, syncs it and renames it over
// `path`: a reader sees the old or the new content, never a mix.
void writeFileAtomically(const std::string& path, const std::string& bytes);
// Creates `dir` and every missing parent, each readable by its owner only (what a
// per-person configuration directory wants); an existing directory is left as is.
void makeDirectories(const std::string& dir);

}  // namespace mrk2
