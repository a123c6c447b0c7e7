#include "base/ReadAheadBytes.h"

#include <cstring>

namespace mrk2 {

ReadAheadBytes::ReadAheadBytes(std::unique_ptr<ByteSource> source)
    : source_(std::move(source)), worker_([this] { fillChunks(); }) {}

ReadAheadBytes::~ReadAheadBytes() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void ReadAheadBytes::fillChunks() {
    for (;;) {
        // Chunks are used again rather than allocated anew: a fresh megabyte
        // costs its page faults every time.
        std::vector<char> chunk;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return closing_ || ready_.size() < kChunksAhead; });
            if (closing_)
                return;
            if (!spare_.empty()) {
                chunk = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        chunk.resize(kChunkBytes);
        std::size_t filled = 0;
        std::exception_ptr error;
        try {
            while (filled < chunk.size()) {
                std::size_t n = source_->read(chunk.data() + filled, chunk.size() - filled);
                if (n == 0)
                    break;
                filled += n;
            }
        } catch (...) {
            error = std::current_exception();
        }
        const bool last = error || filled < chunk.size();
        chunk.resize(filled);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (filled > 0)
                ready_.push_back(std::move(chunk));
            if (last) {
                ended_ = true;
                error_ = error;
            }
        }
        changed_.notify_all();
        if (last)
            return;
    }
}

std::size_t ReadAheadBytes::read(char* into, std::size_t size) {
    if (offset_ == current_.size()) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !ready_.empty() || ended_; });
        if (ready_.empty()) {
            if (error_)
                std::rethrow_exception(error_);
            return 0;
        }
        if (current_.capacity() > 0)
            spare_.push_back(std::move(current_));
        current_ = std::move(ready_.front());
        ready_.pop_front();
        offset_ = 0;
        lock.unlock();
        changed_.notify_all();
    }
    const std::size_t n = std::min(size, current_.size() - offset_);
    std::memcpy(into, current_.data() + offset_, n);
    offset_ += n;
    return n;
}

}  // namespace mrk2
