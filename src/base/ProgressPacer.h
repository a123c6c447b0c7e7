#pragma once
#include <chrono>

namespace mrk2 {

// Record loops test the cancel flag for every record, but report progress only
// this often: a report per row would cost more than the row itself.
class ProgressPacer {
  public:
    explicit ProgressPacer(std::chrono::milliseconds period = std::chrono::milliseconds(50))
        : period_(period), next_(std::chrono::steady_clock::now()) {}

    // True at most once per period; the first call is always due.
    bool due() {
        auto now = std::chrono::steady_clock::now();
        if (now < next_)
            return false;
        next_ = now + period_;
        return true;
    }

  private:
    std::chrono::steady_clock::duration period_;
    std::chrono::steady_clock::time_point next_;
};

}  // namespace mrk2
