#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace mrk2 {

// Code page 932 (Shift_JIS with the vendor extensions of the Japanese Windows
// settings the data comes from). glibc's "CP932" maps ～ and － as that code page
// does; plain SHIFT_JIS would not. nullopt means the bytes are not valid.
std::optional<std::string> cp932ToUtf8(std::string_view bytes);
std::optional<std::string> utf8ToCp932(std::string_view text);

bool isAscii(std::string_view bytes);

}  // namespace mrk2
