#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/Error.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "support/TempDir.h"

using namespace mrk2;

TEST(AddPathSeparator, AppendsOneSeparatorAfterTrimmingBlanks) {
    EXPECT_EQ(addPathSeparator("/opt/tools"), "/opt/tools/");
    EXPECT_EQ(addPathSeparator(" /opt/tools/ "), "/opt/tools/");
    EXPECT_EQ(addPathSeparator("/"), "/");
    EXPECT_EQ(addPathSeparator(""), "");
    EXPECT_EQ(addPathSeparator("   "), "");
}

TEST(JoinPath, EmptyDirectoryGivesRootPathAsTheToolAlwaysDid) {
    EXPECT_EQ(joinPath("", "mrk2.mdb"), "/mrk2.mdb");
    EXPECT_EQ(joinPath("/data", "mrk2.mdb"), "/data/mrk2.mdb");
    EXPECT_EQ(joinPath("/", "mrk2.mdb"), "/mrk2.mdb");
}

TEST(StandardErrorText, DescriptionNumberAndContextOnItsOwnLine) {
    Error e(2, "ファイルまたはディレクトリが見つかりません。");
    EXPECT_EQ(standardErrorText(e, "/data/a.csv"),
              "ファイルまたはディレクトリが見つかりません。(2)\n/data/a.csv");
    EXPECT_EQ(standardErrorText(e), "ファイルまたはディレクトリが見つかりません。(2)");
}

// A writer killed between its temporary file and the rename leaves the file;
// the next write of the same path removes it, but never the temporary of a
// process that still runs.
TEST(WriteFileAtomically, RemovesTheTemporaryOfAnEndedWriterOnly) {
    test::TempDir d;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string path = d.file("mrk2.pending");
    const std::string ended = d.write("mrk2.pending.tmp" + std::to_string(child), "half");
    const std::string running = d.write("mrk2.pending.tmp" + std::to_string(::getppid()), "half");
    const std::string other = d.write("mrk2.ini.tmp" + std::to_string(child), "half");
    writeFileAtomically(path, "whole");
    EXPECT_EQ(test::readFile(path), "whole");
    EXPECT_FALSE(fileExists(ended));
    EXPECT_TRUE(fileExists(running));
    EXPECT_TRUE(fileExists(other));
}
