#include "base/RunEstimate.h"

#include <algorithm>

namespace mrk2 {

namespace {

// The part of a run that reading its files takes, as a rule of thumb.
constexpr double kReading = 0.9;

}  // namespace

std::optional<double> runShare(const Progress& p) {
    switch (p.step) {
        case ProgressStep::Starting:
        case ProgressStep::CreatingDatabase:
        case ProgressStep::CreatingTables:
            return 0.0;
        case ProgressStep::Staging:
        case ProgressStep::Extracting:
        case ProgressStep::BuildingNationalPostal:
            if (p.bytesTotal == 0)
                return std::nullopt;
            return kReading * std::min(1.0, static_cast<double>(p.bytesRead) /
                                                static_cast<double>(p.bytesTotal));
        case ProgressStep::FilesDone:
            return kReading;
        case ProgressStep::CreatingPostal:
        case ProgressStep::UpdatingPostal:
            return 0.92;
        case ProgressStep::Compacting:
        case ProgressStep::CompactingBase:
            return 0.95;
    }
    return std::nullopt;
}

std::optional<std::chrono::seconds> timeLeft(const Progress& progress,
                                             std::chrono::steady_clock::duration elapsed) {
    const std::optional<double> share = runShare(progress);
    const double secs = std::chrono::duration<double>(elapsed).count();
    if (!share || *share < 0.02 || *share >= 1 || secs < 1)
        return std::nullopt;
    return std::chrono::seconds(static_cast<long long>(secs * (1 - *share) / *share + 0.5));
}

}  // namespace mrk2
