#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mrk2 {

// Where the bytes of a source file come from: a file on disk or a member of an
// archive, read from start to end once. Readers above it (the line reader) do
// not know which.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes; 0 only at the end. Throws mrk2::Error.
    virtual std::size_t read(char* into, std::size_t size) = 0;
};

// The bytes of a file on disk. Throws mrk2::Error (errno numbers).
std::unique_ptr<ByteSource> openFileBytes(const std::string& path);

}  // namespace mrk2
