#include "base/WriterLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/Error.h"
#include "base/FileNames.h"
#include "base/Paths.h"

namespace mrk2 {

WriterLock WriterLock::take(const std::string& dbDir) {
    if (dbDir.empty())
        throw Refusal(kNoDbDirText);
    const std::string path = joinPath(dbDir, files::kWriterLock);
    // A symbolic link put in its place is not followed: the lock is never
    // created or opened anywhere but in the directory itself.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);  // flock needs no write
    if (fd < 0)
        throw fileError(errno, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK) {
            throw Refusal(
                "別の処理がこのディレクトリのデータベースを更新中です。"
                "終わってからやり直して下さい。\n" +
                dbDir);
        }
        throw fileError(e, path);
    }
    return WriterLock(fd);
}

bool WriterLock::heldNow(const std::string& dbDir) {
    const std::string path = joinPath(dbDir, files::kWriterLock);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    // A shared lock is refused only while a writer holds the exclusive one.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

WriterLock::~WriterLock() {
    if (fd_ >= 0)
        ::close(fd_);  // closing the only descriptor releases the lock
}

}  // namespace mrk2
