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
// Throws mrk2::Refusal, with the message that says why, for a name that breaks it.
void checkRegionName(const std::string& name);
bool isUsableRegionName(const std::string& name);

// Not empty, no '/', no NUL, not "." or "..": a name that can be a file name at all.
bool isPlainFileName(const std::string& name);

}  // namespace mrk2
