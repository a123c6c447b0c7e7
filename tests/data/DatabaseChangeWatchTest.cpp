#include "data/DatabaseChangeWatch.h"

#include <gtest/gtest.h>

#include "base/FileOps.h"
#include "data/Database.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::setModifiedTime;
using mrk2::test::TempDir;

// Size and time are kept equal on purpose: each change must be seen by the
// mechanism meant for it, not by the file growing.
TEST(DatabaseChangeWatchTest, SeesCommitsOfOthersAndAnotherFileUnderTheName) {
    TempDir dir;
    const std::string path = dir.file("mrk2.mdb");
    Database::open(path, Database::Mode::Create)
        .exec("CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (1)");
    setModifiedTime(path, 1600000000);
    DatabaseChangeWatch watch;
    EXPECT_TRUE(watch.changed()) << "nothing seen yet";
    watch.accept(path);
    EXPECT_FALSE(watch.changed());
    EXPECT_FALSE(watch.changed()) << "looking is no change";

    Database::open(path).exec("UPDATE t SET v = 2");
    setModifiedTime(path, 1600000000);
    EXPECT_TRUE(watch.changed()) << "a commit by another connection";
    watch.accept(path);
    EXPECT_FALSE(watch.changed());

    copyFile(path, path + ".new");
    setModifiedTime(path + ".new", 1600000000);
    renameReplacing(path + ".new", path);
    EXPECT_TRUE(watch.changed()) << "a file renamed over the old one";
    watch.accept(path);

    removeFile(path);
    EXPECT_TRUE(watch.changed());
    watch.accept(path);
    EXPECT_FALSE(watch.changed()) << "a missing file stays missing";
}
