#pragma once
#include <string>
#include <string_view>

namespace mrk2 {

// The first `count` characters (not bytes) of a UTF-8 text: a municipality code is
// the first five characters of a file name, whatever their width.
std::string firstCharacters(const std::string& text, int count);

// The text with full-width ASCII (！ to ～, U+FF01..U+FF5E) and the ideographic
// space written as ASCII; every other character as it is.
std::string narrowAscii(std::string_view text);

}  // namespace mrk2
