#pragma once
#include <string>

namespace mrk2 {

// Replaces `target` with a compacted copy of `source`: VACUUM INTO `compacted`,
// fsync it, PRAGMA quick_check it, rename it over `target`, sync the directory.
// Throws mrk2::Error; on any failure `target` is untouched and `compacted` removed.
void compactAndReplace(const std::string& source, const std::string& compacted,
                       const std::string& target);

// Replaces `target` with the finished work database `work`. A work file without
// free pages (only ever appended to, or whose freed pages new rows took up
// again) is as compact as VACUUM would make it, and a copy would cost a full
// rewrite: it is synced, checked and renamed over `target` itself, and is gone
// afterwards. Any other is compacted by compactAndReplace.
// Throws mrk2::Error; on any failure `target` is untouched.
void replaceWithWorkDatabase(const std::string& work, const std::string& compacted,
                             const std::string& target);

}  // namespace mrk2
