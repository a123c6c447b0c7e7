#pragma once
#include <optional>
#include <string>

namespace mrk2 {

// The one rule for region names. A region's database is DBDIR/<name>.mdb, so a
// name must be a plain file name (not empty, no '/', no NUL, not "." or "..")
// and must not make that file one of the tool's own: the base database (mrk2,
// in any letter case) or a work file (a name ending in _$$$ or _cmpact, mrk_123,
// mrk_cmpact). A region named so would be rebuilt over, or deleted with, the
// base database or another region.
//
// Nothing when the name is fine; otherwise the message that says why.
std::optional<std::string> regionNameProblem(const std::string& name);

// A region named after a prefecture read from the data (a national build names
// each region by the 都道府県名 of its sources' first rows): the rule above, and
// the name must be one of the 47 prefectures of the municipality master built
// into the program, so that no row can name the base database, a work file or
// a path outside the directory. Nothing when the name is fine; otherwise one
// line that says why.
std::optional<std::string> prefectureRegionProblem(const std::string& name);

// Not empty, no '/', no NUL, not "." or "..": a name that can be a file name at all.
bool isPlainFileName(const std::string& name);

inline bool isUsableRegionName(const std::string& name) {
    return !regionNameProblem(name);
}

}  // namespace mrk2
