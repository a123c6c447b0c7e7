#pragma once
#include <string>

namespace mrk2 {

// One writer per database directory. Whoever starts an operation that changes
// files there (init, register, update, delete, the national postal build, a
// learning dictionary save) takes this lock once and holds it for the whole
// operation, in the desktop tool and in mrk2cli alike; the operations take none
// of their own, so that one starter may hold it over many runs. A second writer
// is refused at once. It is an flock(2)
// on the file mrk2.lock in the directory, so the kernel frees it when the
// holder dies: a crash leaves no stale lock. Readers need none: every database
// is replaced by an atomic rename.
class WriterLock {
  public:
    // Takes the lock of `dbDir`. Throws mrk2::Refusal naming the directory when
    // another writer holds it, mrk2::Error when the lock file cannot be opened.
    static WriterLock take(const std::string& dbDir);

    WriterLock(WriterLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    WriterLock& operator=(WriterLock&&) = delete;
    WriterLock(const WriterLock&) = delete;
    ~WriterLock();

  private:
    explicit WriterLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace mrk2
