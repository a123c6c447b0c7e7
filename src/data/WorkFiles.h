#pragma once
#include <string>

namespace mrk2 {

// Removes a database file together with the journal files SQLite may have left
// beside it. A journal from a killed run would otherwise be replayed into the
// next file of that name. Throws mrk2::Error; a missing file is no error.
void removeDatabaseFiles(const std::string& path);

// The same for a work file whose removal may fail without harm: a copy that
// cannot be removed is only a stray file.
void removeDatabaseFilesQuietly(const std::string& path) noexcept;

}  // namespace mrk2
