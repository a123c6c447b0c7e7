#include "base/PeekedBytes.h"

#include <algorithm>
#include <cstring>

namespace mrk2 {

std::string PeekedBytes::firstLine() {
    std::size_t end;
    while ((end = peeked_.find_first_of("\r\n")) == std::string::npos &&
           peeked_.size() < kMaxPeek) {
        // No more than kMaxPeek bytes are looked at, whatever pieces the source
        // hands out: a file without a line break gives its first kMaxPeek bytes.
        char buf[8192];
        const std::size_t n = source_->read(buf, std::min(sizeof buf, kMaxPeek - peeked_.size()));
        if (n == 0)
            break;
        peeked_.append(buf, n);
    }
    // A head looked at before may hold more than kMaxPeek bytes.
    return peeked_.substr(0, std::min({end, peeked_.size(), kMaxPeek}));
}

std::string_view PeekedBytes::head(std::size_t size) {
    char buf[8192];
    while (peeked_.size() < size) {
        const std::size_t n = source_->read(buf, std::min(sizeof buf, size - peeked_.size()));
        if (n == 0)
            break;
        peeked_.append(buf, n);
    }
    return std::string_view(peeked_).substr(0, size);
}

std::size_t PeekedBytes::read(char* into, std::size_t size) {
    if (given_ < peeked_.size()) {
        const std::size_t n = std::min(size, peeked_.size() - given_);
        std::memcpy(into, peeked_.data() + given_, n);
        given_ += n;
        return n;
    }
    return source_->read(into, size);
}

}  // namespace mrk2
