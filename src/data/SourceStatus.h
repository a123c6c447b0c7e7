#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/SourceFile.h"

namespace mrk2 {

// A recorded source file of a region and whether it changed on disk since it was
// loaded (the notice of the CSV selection window and `mrk2cli sources`).
struct SourceStatus {
    SourceFile source;
    std::optional<std::string> recordedDate;  // fldDate
    std::optional<std::string> currentDate;   // nullopt: the file is gone
    bool changed = false;                     // dates differ, earlier or later, or file gone
};

// Compares each recorded source with the file on disk now.
std::vector<SourceStatus> compareSources(const std::vector<SourceFile>& files,
                                         const std::vector<std::optional<std::string>>& dates);

}  // namespace mrk2
