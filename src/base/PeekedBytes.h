#pragma once
#include <memory>
#include <string>

#include "base/ByteSource.h"

namespace mrk2 {

// A byte source whose first line can be looked at before it is read: the bytes
// looked at are read again, first, by whoever reads the source. A layout is
// chosen by a file's header without opening (or unpacking) the file twice.
class PeekedBytes : public ByteSource {
  public:
    explicit PeekedBytes(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

    // The bytes of the first line, without its line break (at most kMaxPeek
    // bytes of a file without one). Throws mrk2::Error.
    std::string firstLine();

    std::size_t read(char* into, std::size_t size) override;

    static constexpr std::size_t kMaxPeek = 64 * 1024;

  private:
    std::unique_ptr<ByteSource> source_;
    std::string peeked_;
    std::size_t given_ = 0;  // bytes of peeked_ already read out
};

}  // namespace mrk2
