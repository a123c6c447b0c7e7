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

// Makes POST of the work database hold the rows of exactly the prefectures its
// POSITION holds (fld都道府県名), whatever it held before: a prefecture whose
// sources a run removed takes its postal rows with it, and a region without
// position rows has none. Throws mrk2::Error naming the work database.
void matchRegionPostTable(const std::string& workDbPath, const std::string& baseDbPath);

}  // namespace mrk2
