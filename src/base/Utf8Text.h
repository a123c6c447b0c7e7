#pragma once
#include <string>
#include <string_view>

namespace mrk2 {

// The first `count` characters (not bytes) of a UTF-8 text: a municipality code is
// the first five characters of a file name, whatever their width.
std::string firstCharacters(const std::string& text, int count);

// The one width conversion of ASCII: full-width ASCII (！ to ～, U+FF01..U+FF5E)
// and the ideographic space as their ASCII characters; every other character as
// it is.
char32_t narrowAsciiCharacter(char32_t c);
std::string narrowAscii(std::string_view text);

}  // namespace mrk2
