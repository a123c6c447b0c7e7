#include "base/FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/Error.h"
#include "base/FaultPoint.h"
#include "base/Paths.h"

namespace mrk2 {

namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void closeChecked(const std::string& path) {
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            throw fileError(errno, path);
    }

  private:
    int fd_;
};

void writeAll(int fd, const char* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, path);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace

void copyFile(const std::string& from, const std::string& to) {
    faultPoint();
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        throw fileError(errno, from);
    Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0)
        throw fileError(errno, to);
    std::vector<char> buf(1 << 20);
    for (;;) {
        ssize_t n = ::read(in.get(), buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, from);
        }
        if (n == 0)
            break;
        writeAll(out.get(), buf.data(), static_cast<std::size_t>(n), to);
    }
    out.closeChecked(to);
}

bool removeFile(const std::string& path) {
    faultPoint();
    if (::unlink(path.c_str()) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    throw fileError(errno, path);
}

void discardFile(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

void syncFile(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw fileError(errno, path);
    if (::fsync(fd.get()) != 0)
        throw fileError(errno, path);
}

void syncDirectoryOf(const std::string& path) {
    std::string dir = dirNameOf(path);
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        throw fileError(errno, dir);
    // Some file systems refuse fsync on a directory; the rename is then as durable
    // as they make it.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS)
        throw fileError(errno, dir);
}

void renameReplacing(const std::string& from, const std::string& to) {
    faultPoint();
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw fileError(errno, to);
    faultPoint();  // renamed, the directory not yet synced
    syncDirectoryOf(to);
}

namespace {

// The temporary name of `path` for process `pid`.
std::string temporaryOf(const std::string& path, pid_t pid) {
    return path + ".tmp" + std::to_string(pid);
}

// A process killed between writing its temporary file and the rename leaves that
// file; the next writer of `path` removes it. Only temporaries of processes that
// no longer run are touched: one that runs may be writing its own just now.
void removeTemporariesOfEndedProcesses(const std::string& path) {
    const std::string dir = dirNameOf(path);
    const std::string prefix = fileNameOf(path) + ".tmp";
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return;  // the write below reports what is wrong with the directory
    std::vector<pid_t> ended;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        const auto pid = static_cast<pid_t>(std::atol(digits.c_str()));
        if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            ended.push_back(pid);
    }
    ::closedir(d);
    for (pid_t pid : ended)
        discardFile(temporaryOf(path, pid));
}

}  // namespace

void writeFileAtomically(const std::string& path, const std::string& bytes) {
    removeTemporariesOfEndedProcesses(path);
    std::string tmp = temporaryOf(path, ::getpid());
    {
        Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() < 0)
            throw fileError(errno, tmp);
        try {
            writeAll(fd.get(), bytes.data(), bytes.size(), tmp);
            if (::fsync(fd.get()) != 0)
                throw fileError(errno, tmp);
            fd.closeChecked(tmp);
        } catch (...) {
            ::unlink(tmp.c_str());
            throw;
        }
    }
    faultPoint();  // the new content written beside the old
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        throw fileError(e, path);
    }
    syncDirectoryOf(path);
}

void makeDirectories(const std::string& dir) {
    if (dir.empty() || directoryExists(dir))
        return;
    std::string parent = dirNameOf(dir);
    if (parent != dir)
        makeDirectories(parent);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw fileError(errno, dir);
}

}  // namespace mrk2
