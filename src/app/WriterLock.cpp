#include "app/WriterLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "app/Error.h"
#include "app/FileNames.h"
#include "app/Paths.h"

namespace mrk2 {

WriterLock WriterLock::take(const std::string& dbDir) {
    const std::string path = joinPath(dbDir, files::kWriterLock);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // flock needs no write access
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

WriterLock::~WriterLock() {
    if (fd_ >= 0)
        ::close(fd_);  // closing the only descriptor releases the lock
}

}  // namespace mrk2
