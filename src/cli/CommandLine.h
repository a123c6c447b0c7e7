#pragma once
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliPerson.h"
#include "cli/Declaration.h"

namespace mrk2::cli {

// The options before the command.
struct GlobalOptions {
    std::optional<std::string> iniPath;
    std::optional<std::string> dbDir;
    bool yes = false;
    bool no = false;
    bool quiet = false;

    AnswerPolicy policy() const {
        return yes ? AnswerPolicy::Yes : no ? AnswerPolicy::No : AnswerPolicy::Ask;
    }
};

// mrk2cli's whole command line, declared from the registered commands: the
// global options, then one command (and for learn, one of its parts) with its
// own words. Parsing fills the declared members of the command given.
class CommandLine {
  public:
    CommandLine();
    ~CommandLine();

    // Reads the words. The command to run, or nothing when the line was
    // answered already: help and version printed (status 0) or a usage error
    // told (status 2), in `status`.
    Command* parse(int argc, char** argv, int& status);
    const GlobalOptions& globals() const { return globals_; }
    // The global options' declaration, whose parts are the commands: what the
    // manual page and the bash completion are written from.
    const DeclaredCommand& declared() const { return declared_.front(); }

    // Tells a usage error of `command` on stderr with its usage; returns 2.
    int usageError(const Command& command, const std::string& why) const;

    // For Declaration: a parser for `part` under `parent`.
    DeclaredCommand& declarePart(DeclaredCommand& parent, Command& part);

  private:
    void printHelp() const;
    int usageError(const DeclaredCommand& declared, const std::string& why) const;
    const DeclaredCommand* deepestParsed() const;
    std::string extraWordProblem() const;

    std::unique_ptr<CLI::App> app_;
    std::deque<DeclaredCommand> declared_;  // [0]: the global options
    GlobalOptions globals_;
};

}  // namespace mrk2::cli
