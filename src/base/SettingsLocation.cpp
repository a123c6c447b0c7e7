#include "base/SettingsLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "base/Paths.h"

namespace mrk2 {

namespace {

std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string homeDir() {
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    // A service or a `runuser` without a login environment may come without HOME.
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

}  // namespace

std::string chooseSettingsFile(const SettingsFacts& facts, const std::string& iniOption) {
    if (!iniOption.empty())
        return absolutePath(iniOption);
    if (facts.fileBesideExe || facts.exeDirWritable)
        return joinPath(facts.exeDir, kSettingsFileName);
    // Only an absolute XDG_CONFIG_HOME counts; anything else is ignored.
    std::string config = facts.xdgConfigHome;
    if (config.empty() || config.front() != kPathSeparator)
        config = joinPath(facts.home, ".config");
    return joinPath(joinPath(config, "mrk2tool"), kSettingsFileName);
}

SettingsFacts settingsFactsOfThisProcess() {
    SettingsFacts facts;
    facts.exeDir = executableDir();
    facts.exeDirWritable = ::access(facts.exeDir.c_str(), W_OK) == 0;
    facts.fileBesideExe = fileExists(joinPath(facts.exeDir, kSettingsFileName));
    facts.xdgConfigHome = environment("XDG_CONFIG_HOME");
    facts.home = homeDir();
    return facts;
}

std::string settingsFilePath(const std::string& iniOption) {
    return chooseSettingsFile(settingsFactsOfThisProcess(), iniOption);
}

}  // namespace mrk2
