#pragma once
#include <functional>
#include <string>

namespace mrk2 {

class LaterIndexes;

// Makes `target` a new database that holds the tables of `source` that `keep`
// accepts (by name), each with its definition, its rows and ids, its indexes
// and its auto-number counter, in the order `source` lists them; the page size,
// application id and user version are those of `source`. Much cheaper than
// copying a whole file and then dropping most of its tables, and it leaves no
// free pages behind.
//
// The indexes go to `later` when one is given (LaterIndexes.h).
//
// Returns false, having made nothing, when `source` holds an object that this
// copy does not carry (a view, a trigger, a virtual table, statistics tables):
// the caller then copies the whole file. Throws mrk2::Error.
bool copyTablesToNewDatabase(const std::string& source, const std::string& target,
                             const std::function<bool(const std::string&)>& keep,
                             LaterIndexes* later = nullptr);

}  // namespace mrk2
