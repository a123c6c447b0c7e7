#pragma once
#include <string>

namespace mrk2 {

// Where the settings file mrk2tool.ini is. A copy run from its own directory (a
// build tree, a tools folder) keeps the file beside the executable, as it always
// has; an installed copy (/usr/bin, not writable by the operator) keeps one per
// person under the XDG configuration directory.

inline constexpr const char* kSettingsFileName = "mrk2tool.ini";

// What the choice depends on, gathered from the running process.
struct SettingsFacts {
    std::string exeDir;           // directory of the executable
    bool exeDirWritable = false;  // whether this user may create files there
    bool fileBesideExe = false;   // exeDir/mrk2tool.ini exists
    std::string xdgConfigHome;    // $XDG_CONFIG_HOME, empty when unset
    std::string home;             // $HOME, or the user's home from the password file
};

// The settings file: `iniOption` (the --ini value) when it is given, made
// absolute; else mrk2tool.ini beside the executable when that file exists or its
// directory is writable; else $XDG_CONFIG_HOME/mrk2tool/mrk2tool.ini, where an
// unset, empty or relative XDG_CONFIG_HOME means ~/.config.
std::string chooseSettingsFile(const SettingsFacts& facts, const std::string& iniOption);

SettingsFacts settingsFactsOfThisProcess();

// chooseSettingsFile for this process.
std::string settingsFilePath(const std::string& iniOption);

// The rule above in the words of both programs' --help.
inline constexpr const char* kSettingsLocationHelp =
    "  --ini FILE を指定したときはそのファイル。指定がなければ実行ファイルと同じ\n"
    "  ディレクトリの mrk2tool.ini (そのファイルがあるか、そのディレクトリに書き込める\n"
    "  とき)。どちらでもなければ (/usr/bin にインストールしたときなど)\n"
    "  $XDG_CONFIG_HOME/mrk2tool/mrk2tool.ini (既定 ~/.config/mrk2tool/mrk2tool.ini)。\n";

}  // namespace mrk2
