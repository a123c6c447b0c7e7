#pragma once
#include <string>
#include <vector>

#include "app/FileNames.h"
#include "app/Settings.h"

namespace mrk2::cli {

class CliPerson;

// Exit statuses of mrk2cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // failed, refused or stopped
inline constexpr int kExitUsage = 2;

struct CommandContext {
    Settings settings;  // as read, with --db-dir in DBDIR when given
    CliPerson& person;
    std::vector<std::string> args;  // the words after the command name
    bool quiet = false;

    std::string baseDbPath() const { return files::baseDbPath(settings.dbDir); }
};

struct CommandInfo {
    const char* name;
    const char* usage;    // e.g. "init [DIR]"
    const char* summary;  // one line, Japanese
    int (*run)(CommandContext&);
    bool needsConfig = true;  // load the INI before running
};

// Commands register themselves from their own files (see MRK2_COMMAND).
void registerCommand(const CommandInfo& info);
const std::vector<CommandInfo>& commands();

struct CommandRegistrar {
    explicit CommandRegistrar(const CommandInfo& info) { registerCommand(info); }
};

// Prints a usage error for the command to stderr and returns kExitUsage.
int usageError(const CommandInfo& info, const std::string& why);

}  // namespace mrk2::cli

#define MRK2_CONCAT_INNER(a, b) a##b
#define MRK2_CONCAT(a, b) MRK2_CONCAT_INNER(a, b)
// MRK2_COMMAND({"name", "usage", "summary", &runFunction});
#define MRK2_COMMAND(...) \
    static ::mrk2::cli::CommandRegistrar MRK2_CONCAT(mrk2CommandRegistrar_, __LINE__)(__VA_ARGS__)
