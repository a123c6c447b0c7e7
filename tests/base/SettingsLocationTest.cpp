#include "base/SettingsLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace mrk2;

namespace {

// An installed copy: /usr/bin, which the operator cannot write, and no file there.
SettingsFacts installed() {
    SettingsFacts f;
    f.exeDir = "/usr/bin";
    f.home = "/home/op";
    return f;
}

}  // namespace

TEST(SettingsFile, BesideTheExecutableWhenItsDirectoryIsWritableOrTheFileIsThere) {
    SettingsFacts writable = installed();
    writable.exeDirWritable = true;
    EXPECT_EQ(chooseSettingsFile(writable, ""), "/usr/bin/mrk2tool.ini");

    SettingsFacts existing = installed();
    existing.fileBesideExe = true;
    existing.xdgConfigHome = "/cfg";
    EXPECT_EQ(chooseSettingsFile(existing, ""), "/usr/bin/mrk2tool.ini");
}

TEST(SettingsFile, UnderTheXdgConfigDirectoryOnceInstalled) {
    SettingsFacts f = installed();
    EXPECT_EQ(chooseSettingsFile(f, ""), "/home/op/.config/mrk2tool/mrk2tool.ini");
    f.xdgConfigHome = "/cfg/";
    EXPECT_EQ(chooseSettingsFile(f, ""), "/cfg/mrk2tool/mrk2tool.ini");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    f.xdgConfigHome = "cfg";
    EXPECT_EQ(chooseSettingsFile(f, ""), "/home/op/.config/mrk2tool/mrk2tool.ini");
}

TEST(SettingsFile, TheIniOptionWinsOverBothAndIsMadeAbsolute) {
    SettingsFacts f = installed();
    f.fileBesideExe = true;
    EXPECT_EQ(chooseSettingsFile(f, "/etc/mrk/a.ini"), "/etc/mrk/a.ini");
    EXPECT_EQ(chooseSettingsFile(installed(), "a.ini"),
              (std::filesystem::current_path() / "a.ini").string());
}

TEST(SettingsFile, FactsOfThisProcessNameTheExecutablesDirectoryAndEnvironment) {
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = before ? before : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg-of-this-test", 1);
    SettingsFacts f = settingsFactsOfThisProcess();
    if (before)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(f.xdgConfigHome, "/cfg-of-this-test");
    EXPECT_TRUE(std::filesystem::exists(f.exeDir + "/test_base"));
    EXPECT_TRUE(f.exeDirWritable);  // the build tree
    EXPECT_FALSE(f.home.empty());
}
