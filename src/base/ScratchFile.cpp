#include "base/ScratchFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/Error.h"

namespace mrk2 {

ScratchFile::ScratchFile(const std::string& dir) : dir_(dir) {
    fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without unnamed files: a named one, unlinked at once.
        std::string name = dir + "/mrk2_work_XXXXXX";
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ >= 0)
            ::unlink(name.c_str());
    }
    if (fd_ < 0)
        throw fileError(errno).in(dir);
}

ScratchFile::~ScratchFile() {
    ::close(fd_);
}

void ScratchFile::append(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, bytes, size, static_cast<off_t>(size_));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw fileError(n < 0 ? errno : ENOSPC).in(dir_);
        bytes += n;
        size -= static_cast<std::size_t>(n);
        size_ += static_cast<std::uint64_t>(n);
    }
}

std::size_t ScratchFile::readAt(std::uint64_t offset, char* into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, into + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw fileError(errno).in(dir_);
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace mrk2
