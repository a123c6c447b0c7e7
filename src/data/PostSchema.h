#pragma once

namespace mrk2 {

class Database;
class LaterIndexes;

// Creates the national postal table POST (fldID and the seven text fields of a
// postal line) with its index idxPost, empty. The one definition of POST: the
// base database gets it when it is made, the national build and the import run
// when they rebuild it. Throws mrk2::Error; POST must not exist yet. The index
// goes to `later` when one is given (LaterIndexes.h).
void createPostSchema(Database& db, LaterIndexes* later = nullptr);

}  // namespace mrk2
