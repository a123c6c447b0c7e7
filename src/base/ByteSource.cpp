#include "base/ByteSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/Error.h"

namespace mrk2 {

namespace {

class FileBytes : public ByteSource {
  public:
    explicit FileBytes(int fd) : fd_(fd) {}
    ~FileBytes() override { ::close(fd_); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::size_t read(char* into, std::size_t size) override {
        for (;;) {
            ssize_t n = ::read(fd_, into, size);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR)
                throw fileError(errno);
        }
    }

  private:
    int fd_;
};

}  // namespace

std::unique_ptr<ByteSource> openFileBytes(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw fileError(errno);
    return std::make_unique<FileBytes>(fd);
}

}  // namespace mrk2
