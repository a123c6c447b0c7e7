#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "base/ByteSource.h"

namespace mrk2 {

// A byte source whose first line can be looked at before it is read: the bytes
// looked at are read again, first, by whoever reads the source. A layout is
// chosen by a file's header without opening (or unpacking) the file twice.
// Everything is looked at before the first read.
class PeekedBytes : public ByteSource {
  public:
    explicit PeekedBytes(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

    // The bytes of the first line, without its line break (at most kMaxPeek
    // bytes of a file without one). Throws mrk2::Error.
    std::string firstLine();
    // The first `size` bytes, or all of a shorter source: what decides its
    // encoding is looked at with its first line. Throws mrk2::Error.
    std::string_view head(std::size_t size);

    std::size_t read(char* into, std::size_t size) override;

    static constexpr std::size_t kMaxPeek = 64 * 1024;

  private:
    std::unique_ptr<ByteSource> source_;
    std::string peeked_;
    std::size_t given_ = 0;  // bytes of peeked_ already read out
};

}  // namespace mrk2
