#include "app/SourceFile.h"

namespace mrk2 {

bool sourceChanged(const std::optional<std::string>& recordedDate,
                   const std::optional<std::string>& currentDate) {
    return !currentDate || recordedDate != currentDate;
}

}  // namespace mrk2
