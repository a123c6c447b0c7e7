// The benchmarks' random numbers: splitmix64, tiny, fast, and the same on every
// platform (unlike the standard distributions, whose output is left to the
// library), so a generated data set is the same wherever it is measured.
#pragma once

#include <cstdint>

class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, n).
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    // In [lo, hi].
    std::int64_t between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(hi - lo + 1)));
    }

  private:
    std::uint64_t state_;
};
