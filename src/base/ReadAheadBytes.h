#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/ByteSource.h"

namespace mrk2 {

// Reads another byte source ahead on a thread of its own, a few chunks at a
// time, so that unpacking an archive member runs beside the parsing and the
// writing of its rows instead of before them. An error of the source is
// thrown by the read that reaches it.
class ReadAheadBytes : public ByteSource {
  public:
    explicit ReadAheadBytes(std::unique_ptr<ByteSource> source);
    ~ReadAheadBytes() override;
    ReadAheadBytes(const ReadAheadBytes&) = delete;
    ReadAheadBytes& operator=(const ReadAheadBytes&) = delete;

    std::size_t read(char* into, std::size_t size) override;

    static constexpr std::size_t kChunkBytes = 1 << 20;
    static constexpr std::size_t kChunksAhead = 4;

  private:
    void fillChunks();

    std::unique_ptr<ByteSource> source_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<char>> ready_;   // filled chunks, oldest first
    std::vector<std::vector<char>> spare_;  // chunks read out, to be filled again
    bool ended_ = false;                    // the source has no more bytes (or failed)
    bool closing_ = false;                  // the reader is gone: stop reading ahead
    std::exception_ptr error_;
    std::vector<char> current_;  // the chunk being handed out
    std::size_t offset_ = 0;
    std::thread worker_;
};

}  // namespace mrk2
