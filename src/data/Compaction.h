#pragma once
#include <string>

namespace mrk2 {

// Replaces `target` with a compacted copy of `source`: VACUUM INTO `compacted`,
// fsync it, PRAGMA quick_check it, rename it over `target`, sync the directory.
// A `source` without free pages is already compact: it is synced, checked and
// renamed over `target` itself, and is gone afterwards.
// Throws mrk2::Error; on any failure `target` is untouched and `compacted` removed.
void compactAndReplace(const std::string& source, const std::string& compacted,
                       const std::string& target);

}  // namespace mrk2
