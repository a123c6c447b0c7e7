#pragma once
#include <string>

namespace mrk2 {

// The first `count` characters (not bytes) of a UTF-8 text: a municipality code is
// the first five characters of a file name, whatever their width.
std::string firstCharacters(const std::string& text, int count);

}  // namespace mrk2
