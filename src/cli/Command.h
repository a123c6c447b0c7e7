#pragma once
// How a command of mrk2cli is declared. A command is one class in one file of
// src/cli/commands; its words are members, named once in declare(). From that
// one declaration come the parsing (CLI11), the line of `mrk2cli --help`, the
// usage told with a usage error, `mrk2cli COMMAND --help`, the manual page's
// heading of the command and its bash completion:
//
//   class SourcesCommand : public Command {
//     public:
//       SourcesCommand() : Command("sources", "地域別ＤＢに登録された…を表示する") {}
//       void declare(Declaration& d) override { d.positional("REGION", region_); }
//       int run(CommandContext& ctx) override;
//     private:
//       std::string region_;
//   };
//   MRK2_COMMAND(SourcesCommand);
//
// A new option is one more line in declare(), e.g.
//   d.option("--memory", "MB", memory_, 1, 65536);
// and a command of several (learn) declares its parts with d.subcommand(part).
// Anything a command cannot run with is thrown: UsageError (exit 2, with the
// usage), or Error / Refusal (exit 1, told once by main). The manual page's
// synopsis and command headings and the bash completion are written from the
// same declaration at build time (src/cli/reference); a new command needs its
// line "@USAGE name@" and its prose in mrk2cli.1.in, or the build stops.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/FileNames.h"
#include "base/Settings.h"
#include "cli/Declaration.h"

namespace mrk2::cli {

class CliPerson;

// Exit statuses of mrk2cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // failed, refused or stopped
inline constexpr int kExitUsage = 2;

// Words a command cannot run with: exit 2, with the command's usage.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& why) : std::runtime_error(why) {}
};

struct CommandContext {
    Settings settings;  // as read, with --db-dir in DBDIR when given
    CliPerson& person;
    bool quiet = false;

    std::string baseDbPath() const { return files::baseDbPath(settings.dbDir); }
    // The database of a region that must exist; refused when the name cannot be
    // a region's or its file is not there.
    std::string existingRegionDb(const std::string& region) const;
};

class Command {
  public:
    // `needsSettings`: the settings file is read and the database directory
    // settled before run().
    Command(std::string name, std::string summary, bool needsSettings = true)
        : name_(std::move(name)), summary_(std::move(summary)), needsSettings_(needsSettings) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    virtual void declare(Declaration& d) = 0;
    // Runs with the declared members filled in; returns the exit status. Not
    // called for a command of several parts: the part given runs instead.
    virtual int run(CommandContext& ctx) = 0;

    const std::string& name() const { return name_; }
    const std::string& summary() const { return summary_; }
    bool needsSettings() const { return needsSettings_; }

  private:
    std::string name_;
    std::string summary_;
    bool needsSettings_;
};

// Commands register themselves from their own files (see MRK2_COMMAND).
void registerCommand(std::unique_ptr<Command> command);
const std::vector<std::unique_ptr<Command>>& commands();

template <class C>
struct CommandRegistrar {
    CommandRegistrar() { registerCommand(std::make_unique<C>()); }
};

}  // namespace mrk2::cli

#define MRK2_COMMAND(Class) static ::mrk2::cli::CommandRegistrar<Class> mrk2Registrar##Class
