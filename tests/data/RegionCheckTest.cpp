#include "data/RegionCheck.h"

#include <gtest/gtest.h>

#include "base/WriterLock.h"
#include "data/Database.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

TEST(RegionCheckTest, AFileThatIsNoDatabaseIsAFaultAndWorkFilesAreNamed) {
    TempDir dir;
    dir.write("東京.mdb", "not a database");
    dir.write("東京_$$$.mdb", "");
    RegionCheck check = checkRegion(dir.path(), "東京");
    EXPECT_FALSE(check.ok());
    EXPECT_EQ(check.workFiles, std::vector<std::string>{dir.file("東京_$$$.mdb")});
    EXPECT_FALSE(check.writerRunning);

    WriterLock held = WriterLock::take(dir.path());
    EXPECT_TRUE(checkRegion(dir.path(), "東京").writerRunning);
}

TEST(RegionCheckTest, ARegionWithoutItsTablesIsCountedAsFarAsItGoes) {
    TempDir dir;
    Database::open(dir.file("r.mdb"), Database::Mode::Create)
        .exec("CREATE TABLE POST (x); INSERT INTO POST VALUES (1), (2)");
    RegionCheck check = checkRegion(dir.path(), "r");
    ASSERT_FALSE(check.ok());
    EXPECT_NE(check.faults.front().find("POSITION"), std::string::npos) << check.faults.front();
    EXPECT_EQ(check.towns, 0);
}

}  // namespace
}  // namespace mrk2::test
