#pragma once
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string_view>

namespace mrk2 {

// The memory the process gives to the lines its runs keep (the grouping of a
// file by town), shared by the runs that go on at one time: each run holds an
// equal share of the whole while it runs, and a run that ends hands its share to
// those still running, which see the larger share at their next line. A share
// is a bound on what a run keeps, not an allocation.
class MemoryBudget {
  public:
    explicit MemoryBudget(std::size_t totalBytes) : total_(totalBytes) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    std::size_t total() const { return total_; }

    // One run's hold on the budget, from its construction to its end.
    class Share {
      public:
        explicit Share(MemoryBudget& budget) : budget_(budget) { ++budget_.holders_; }
        ~Share() { --budget_.holders_; }
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        // The bytes this run may keep now.
        std::size_t bytes() const {
            return budget_.total_ / std::max<std::size_t>(budget_.holders_.load(), 1);
        }

      private:
        MemoryBudget& budget_;
    };

  private:
    const std::size_t total_;
    std::atomic<std::size_t> holders_{0};
};

// The budget when neither the settings nor the command line give one: a part
// of the machine's memory, at least 16 MiB and at most 64 MiB. The lines of a
// file beyond it go to a work file and are merged (TownSort.h), which costs
// little, so a larger budget buys little speed.
std::size_t defaultMemoryBudget();

// "256M", "1G", "65536K" or a number of bytes (KiB, MiB, GiB: powers of 1024).
// Throws mrk2::Error (FormatError::NotANumber) for anything else, and for less
// than 1 MiB.
std::size_t parseMemorySize(std::string_view text);

}  // namespace mrk2
