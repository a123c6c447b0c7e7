#pragma once
#include <chrono>
#include <optional>

#include "base/Progress.h"

namespace mrk2 {

// How far a run has come, 0 to 1: reading its files is most of the work and is
// measured by their bytes; the steps after the last file (the postal table, the
// compaction) are counted as the rest. Nothing before a run knows its files.
std::optional<double> runShare(const Progress& progress);

// The time left, from the time the run has taken for its share so far; nothing
// until enough of it is known for the figure to mean something.
std::optional<std::chrono::seconds> timeLeft(const Progress& progress,
                                             std::chrono::steady_clock::duration elapsed);

}  // namespace mrk2
