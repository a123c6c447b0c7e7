#pragma once
#include <string>

namespace mrk2 {

// A region named after a prefecture read from the data (a national build names
// each region by the 都道府県名 of its sources' first rows): the region-name rule,
// and the name must be one of the 47 prefectures of the municipality master built
// into the program, so that no row can name the base database, a work file or
// a path outside the directory. Throws mrk2::Error (FormatError::InvalidName)
// naming `source`, with one line that says why.
void checkPrefectureRegion(const std::string& name, const std::string& source);

}  // namespace mrk2
