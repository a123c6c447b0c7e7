#include "lookup/AddressLine.h"

#include "base/Cp932.h"
#include "base/Utf8.h"

namespace mrk2 {

std::string addressLineText(std::string_view line, bool first) {
    if (first && line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);
    if (!isValidUtf8(line)) {
        if (auto decoded = cp932ToUtf8(line))
            return *decoded;
    }
    return std::string(line);
}

}  // namespace mrk2
