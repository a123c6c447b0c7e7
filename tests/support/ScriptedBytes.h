#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/Error.h"

namespace mrk2::test {

// A byte source that hands out its bytes in uneven pieces (the sizes given,
// taken in turn), the way a pipe or an unpacking stream does, and can fail
// after a given number of bytes. Reads that straddle every boundary are what
// find the off-by-one faults of readers above it.
class ScriptedBytes : public ByteSource {
  public:
    explicit ScriptedBytes(std::string bytes, std::vector<std::size_t> steps = {4099, 1, 77},
                           std::size_t failAt = std::string::npos)
        : bytes_(std::move(bytes)), steps_(std::move(steps)), failAt_(failAt) {}

    std::size_t read(char* into, std::size_t size) override {
        if (at_ == failAt_)
            throw Error(5, "読み込みに失敗しました。");
        const std::size_t limit = std::min(bytes_.size(), failAt_);
        const std::size_t n =
            std::min({size, steps_[turn_++ % steps_.size()], limit - std::min(at_, limit)});
        std::memcpy(into, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

  private:
    std::string bytes_;
    std::vector<std::size_t> steps_;
    std::size_t failAt_;
    std::size_t at_ = 0;
    std::size_t turn_ = 0;
};

// Every byte a source gives, read in pieces of the sizes given, taken in turn.
inline std::string readAll(ByteSource& source, const std::vector<std::size_t>& steps) {
    std::string out;
    std::vector<char> buf(*std::max_element(steps.begin(), steps.end()));
    for (std::size_t turn = 0;; ++turn) {
        const std::size_t n = source.read(buf.data(), steps[turn % steps.size()]);
        if (n == 0)
            return out;
        out.append(buf.data(), n);
    }
}

// Bytes that differ from place to place, so that a piece repeated, lost or
// moved shows.
inline std::string patternBytes(std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return out;
}

}  // namespace mrk2::test
