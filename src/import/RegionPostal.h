#pragma once
#include <string>
#include <vector>

namespace mrk2 {

// Copies the rows of POST of the base database whose fld都道府県 is one of
// `prefs` (the prefectures of the run's files) into POST of the work database.
// With replaceExisting the rows of those prefectures are deleted first, so a
// refill never doubles them. Throws mrk2::Error naming the work database.
void fillRegionPostTable(const std::string& workDbPath, const std::string& baseDbPath,
                         const std::vector<std::string>& prefs, bool replaceExisting);

}  // namespace mrk2
