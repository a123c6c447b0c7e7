#pragma once
#include <string>

namespace mrk2 {

// A region name that can be a file name here: not empty, no '/', no NUL, not "." or "..".
bool isUsableRegionName(const std::string& name);

}  // namespace mrk2
