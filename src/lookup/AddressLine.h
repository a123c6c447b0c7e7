#pragma once
#include <string>
#include <string_view>

namespace mrk2 {

// A line of a batch of addresses as text: UTF-8 as it is, else CP932 turned into
// UTF-8 (a file saved by a Japanese Windows editor may well be CP932); bytes that
// are neither stay as they are, for the lookup to refuse. The first line loses a
// byte order mark (a list saved by a Windows editor starts with one).
std::string addressLineText(std::string_view line, bool first);

}  // namespace mrk2
