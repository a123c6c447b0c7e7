#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace mrk2 {

// A work file without a name, in a given directory: what is written to it can
// be read back at any offset, and it is gone as soon as it is closed, whether
// the run ends, stops or is killed, so no run ever leaves one behind. Throws
// mrk2::Error (errno numbers) naming the directory.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& dir);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    void append(const char* bytes, std::size_t size);
    // Reads up to `size` bytes at `offset`; fewer only at the end of the file.
    std::size_t readAt(std::uint64_t offset, char* into, std::size_t size) const;
    std::uint64_t size() const { return size_; }

  private:
    std::string dir_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace mrk2
