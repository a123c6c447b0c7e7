#pragma once
#include <array>
#include <string>

#include "base/Progress.h"

namespace mrk2 {

// The four lines of the progress window, top to bottom.
enum class ProgressLabel { OnProccess, DetailStatus, DetailProc, DetailProcSub };

// The four lines for a progress report, as the progress window has always shown
// them: the database being built, the phase of the current file, the step or
// the file ("13101 (2/5)"), and the lines read of that file.
std::array<std::string, 4> progressLabels(const Progress& progress);

}  // namespace mrk2
