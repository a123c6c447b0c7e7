#include "data/Compaction.h"

#include "base/Error.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "data/Database.h"

namespace mrk2 {

namespace {

// A journal left beside a file by a killed process would be replayed into
// whatever file next carries that name; a work file must start without one.
void removeSideFiles(const std::string& path) {
    removeFile(path + "-journal");
    removeFile(path + "-wal");
    removeFile(path + "-shm");
}

// A hot journal of the file being replaced belongs to it, not to its successor:
// let SQLite roll it back into the old file now, so no journal is left that
// could be replayed into the new one after the rename.
void settleJournal(const std::string& target) {
    if (fileExists(target + "-journal") && fileExists(target))
        Database::open(target, Database::Mode::ReadWrite).close();
    removeSideFiles(target);
}

void writeCompactedCopy(const std::string& source, const std::string& compacted) {
    Database db = Database::open(source, Database::Mode::ReadOnly);
    Statement st = db.prepare("VACUUM INTO ?1");
    st.bind(1, compacted);
    st.run();
}

// A database without free pages is as compact as VACUUM would make it: the
// tables of a freshly built work file were only ever appended to.
bool hasFreePages(const std::string& path) {
    Database db = Database::open(path, Database::Mode::ReadOnly);
    Statement st = db.prepare("PRAGMA freelist_count");
    return st.step() && st.int64(0) > 0;
}

void verify(const std::string& compacted) {
    Database db = Database::open(compacted, Database::Mode::ReadOnly);
    Statement st = db.prepare("PRAGMA quick_check");
    std::string result = st.step() ? st.text(0) : std::string();
    if (result != "ok") {
        throw Error(11,
                    "最適化したデータベースの検査に失敗しました。[" + result + "] " + compacted);
    }
}

}  // namespace

void compactAndReplace(const std::string& source, const std::string& compacted,
                       const std::string& target) {
    try {
        removeFile(compacted);
        removeSideFiles(compacted);
        writeCompactedCopy(source, compacted);
        // VACUUM INTO leaves syncing to the operating system; the file must be
        // on disk before a rename can make it the only copy of the data.
        syncFile(compacted);
        verify(compacted);
        settleJournal(target);
        renameReplacing(compacted, target);
    } catch (...) {
        discardFile(compacted);
        throw;
    }
}

void replaceWithWorkDatabase(const std::string& work, const std::string& compacted,
                             const std::string& target) {
    // A journal beside the work file would belong to its content; such a file
    // goes the long way.
    const bool settled = !fileExists(work + "-journal") && !fileExists(work + "-wal");
    if (!settled || hasFreePages(work)) {
        compactAndReplace(work, compacted, target);
        return;
    }
    // The work file itself becomes the result, on the same terms as a compacted
    // copy: on disk, checked, then renamed in one step.
    removeFile(compacted);
    removeSideFiles(compacted);
    syncFile(work);
    verify(work);
    settleJournal(target);
    renameReplacing(work, target);
}

}  // namespace mrk2
