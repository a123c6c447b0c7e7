#pragma once
#include <string>

namespace mrk2 {

// Removes a database file together with the journal files SQLite may have left
// beside it. A journal from a killed run would otherwise be replayed into the
// next file of that name. Throws mrk2::Error; a missing file is no error.
void removeDatabaseFiles(const std::string& path);

}  // namespace mrk2
