#pragma once
#include <string>

namespace mrk2 {

// One writer per database directory. An operation that changes files there
// (init, register, update, delete, the national postal build, a learning
// dictionary save) holds this lock from its start to its end, in the desktop
// tool and in mrk2cli alike. The writers' one starter (data/OperationStarter.h)
// takes it; the operations take none of their own, so that a national build
// holds it once over many runs. A second writer is refused at once. It is an
// flock(2) on the file mrk2.lock in the directory, so the kernel frees it when
// the holder dies: a crash leaves no stale lock. Readers need none: every
// database is replaced by an atomic rename.
// What to say when no database directory is set (DBDIR empty): never a lock or a
// database at the root of the file system.
inline constexpr const char* kNoDbDirText =
    "データベースのディレクトリ (DBDIR) が設定されていません。設定ファイルの [MRK] に "
    "DBDIR=ディレクトリ を書くか、mrk2cli では --db-dir DIR を指定して下さい。";

class WriterLock {
  public:
    // Takes the lock of `dbDir`. Throws mrk2::Refusal naming the directory when
    // another writer holds it, mrk2::Error when the lock file cannot be opened.
    static WriterLock take(const std::string& dbDir);

    // Whether a writer holds the lock of `dbDir` now: the one look a reader
    // takes (check tells work files of a running writer from those a killed one
    // left). Takes nothing and creates no lock file; a lock file this person
    // cannot open tells nothing, and counts as no writer.
    static bool heldNow(const std::string& dbDir);

    WriterLock(WriterLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    WriterLock& operator=(WriterLock&&) = delete;
    WriterLock(const WriterLock&) = delete;
    ~WriterLock();

  private:
    explicit WriterLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace mrk2
