#pragma once
#include <atomic>

namespace mrk2 {

// The Stop button of a run: the progress window's 中止, a Ctrl-C at the terminal
// or a forced close sets it, from any thread, and the run looks at it at every
// record and between its steps. Once set it stays set for that run.
class StopControl {
  public:
    void requestStop() { stop_.store(true, std::memory_order_relaxed); }
    bool stopRequested() const { return stop_.load(std::memory_order_relaxed); }

  private:
    std::atomic<bool> stop_{false};
};

}  // namespace mrk2
