#include "app/RegionName.h"

#include "app/Paths.h"

namespace mrk2 {

bool isUsableRegionName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find(kPathSeparator) == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace mrk2
