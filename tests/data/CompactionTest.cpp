#include "data/Compaction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Error.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

void makeDb(const std::string& path, const std::string& value) {
    Database db = Database::open(path, Database::Mode::Create);
    db.exec("CREATE TABLE t (v TEXT)");
    Statement st = db.prepare("INSERT INTO t VALUES (?1)");
    st.bind(1, value).run();
}

std::string valueOf(const std::string& path) {
    Database db = Database::open(path, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT v FROM t");
    return st.step() ? st.text(0) : "";
}

TEST(CompactionTest, ReplacesTheTargetWithACheckedCopyOverAStaleCompactedFile) {
    TempDir d;
    makeDb(d.file("src.mdb"), "new");
    makeDb(d.file("target.mdb"), "old");
    d.write("c.mdb", "left by a killed run");
    d.write("c.mdb-journal", "left by a killed run");
    compactAndReplace(d.file("src.mdb"), d.file("c.mdb"), d.file("target.mdb"));
    EXPECT_EQ(valueOf(d.file("target.mdb")), "new");
    EXPECT_FALSE(fileExists(d.file("c.mdb")));
    EXPECT_FALSE(fileExists(d.file("c.mdb-journal")));
    EXPECT_EQ(valueOf(d.file("src.mdb")), "new");
}

TEST(CompactionTest, AnyFailureLeavesTheTargetUntouched) {
    TempDir d;
    makeDb(d.file("target.mdb"), "old");
    std::string before = readFile(d.file("target.mdb"));
    // A source that is no database.
    d.write("src.mdb", std::string(4096, 'x'));
    EXPECT_THROW(compactAndReplace(d.file("src.mdb"), d.file("c.mdb"), d.file("target.mdb")),
                 Error);
    EXPECT_EQ(readFile(d.file("target.mdb")), before);
    EXPECT_FALSE(fileExists(d.file("c.mdb")));
    // A compacted file that cannot be written (its directory is missing).
    makeDb(d.file("good.mdb"), "new");
    EXPECT_THROW(compactAndReplace(d.file("good.mdb"), d.file("no/c.mdb"), d.file("target.mdb")),
                 Error);
    EXPECT_EQ(readFile(d.file("target.mdb")), before);
}

TEST(CompactionTest, AWorkFileWithoutFreePagesIsRenamedAndOneWithThemIsCompacted) {
    TempDir d;
    makeDb(d.file("work.mdb"), "new");
    makeDb(d.file("target.mdb"), "old");
    d.write("c.mdb", "left by a killed run");
    replaceWithWorkDatabase(d.file("work.mdb"), d.file("c.mdb"), d.file("target.mdb"));
    EXPECT_EQ(valueOf(d.file("target.mdb")), "new");
    EXPECT_FALSE(fileExists(d.file("work.mdb")));
    EXPECT_FALSE(fileExists(d.file("c.mdb")));

    // A dropped table leaves free pages: the result is a compacted copy.
    makeDb(d.file("work.mdb"), "newer");
    {
        Database db = Database::open(d.file("work.mdb"));
        db.exec("CREATE TABLE gone (v TEXT)");
        db.exec("INSERT INTO gone SELECT hex(zeroblob(2000)) FROM t");
        db.exec("DROP TABLE gone");
    }
    replaceWithWorkDatabase(d.file("work.mdb"), d.file("c.mdb"), d.file("target.mdb"));
    EXPECT_EQ(valueOf(d.file("target.mdb")), "newer");
    EXPECT_TRUE(fileExists(d.file("work.mdb")));
    EXPECT_LT(fileSizeOf(d.file("target.mdb")), fileSizeOf(d.file("work.mdb")));
}

}  // namespace
}  // namespace mrk2::test
