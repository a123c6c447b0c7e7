// What the desktop tool decides before its first window: its options and the
// single-instance rule, which follows the settings file.
#include <gtest/gtest.h>

#include <QLockFile>

#include "support/ManPage.h"
#include "support/TempDir.h"
#include "ui/Startup.h"
#include "ui/ToolCommandLine.h"

using namespace mrk2::ui;

TEST(ToolStartup, OneInstancePerSettingsFile) {
    mrk2::test::TempDir dir;  // names no other run's settings file
    QLockFile running(singleInstanceLockPath(dir.file("a.ini")));
    ASSERT_TRUE(running.tryLock(0));
    QLockFile sameFile(singleInstanceLockPath(dir.file("a.ini")));
    EXPECT_FALSE(sameFile.tryLock(0));
    QLockFile otherFile(singleInstanceLockPath(dir.file("b.ini")));
    EXPECT_TRUE(otherFile.tryLock(0));
}

TEST(ToolStartup, OptionsAreReadPastUnknownWordsWhichAreReported) {
    ToolOptions o = parseToolOptions({"--ini", "/a.ini"});
    EXPECT_EQ(o.ini, "/a.ini");
    EXPECT_TRUE(o.error.empty());

    // Before QApplication has taken out its own options, --help is still seen.
    o = parseToolOptions({"-platform", "offscreen", "--help"});
    EXPECT_TRUE(o.help);
    EXPECT_NE(o.error.find("-platform"), std::string::npos);

    o = parseToolOptions({"--version", "--ini"});
    EXPECT_TRUE(o.version);
    EXPECT_NE(o.error.find("--ini"), std::string::npos);
}

TEST(ToolStartup, ManualPageHasTheSynopsisAndEveryOptionOfTheHelp) {
    const std::string help = toolHelpText();
    const std::string man = mrk2::test::manPageText("src/ui/mrk2tool.1.in");
    EXPECT_NE(man.find("\nmrk2tool [--ini FILE]\n"), std::string::npos);
    ASSERT_NE(help.find("使い方: mrk2tool [--ini FILE]\n"), std::string::npos);
    for (const auto& option : mrk2::test::longOptionsIn(help))
        EXPECT_NE(man.find(option), std::string::npos) << option;
    EXPECT_NE(man.find("~/.config/mrk2tool/mrk2tool.ini"), std::string::npos);
}
