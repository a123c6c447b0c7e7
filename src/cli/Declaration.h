#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace mrk2::cli {

class Command;
class CommandLine;

// One word of a usage line as declared: a position ("REGION", "[DIR]",
// "CSV|ZIP...") or an option ("[--memory SIZE]", "[--yes|--no]"). The help,
// the manual page and the bash completion all write it from here.
struct DeclaredWord {
    std::vector<std::string> names;  // an option's names, either of which; none for a position
    std::string value;     // what it takes: "N", "CSV|ZIP...", "reg|tran|both"; "" for a flag
    bool optional = true;  // shown in brackets

    bool isOption() const { return !names.empty(); }
    // As the help shows it: "[--start-line N]".
    std::string text() const;
};

// A command as the command line knows it: its parser and the words its
// declaration gave, in order ("register REGION CSV|ZIP... [--start-line N]").
struct DeclaredCommand {
    Command* command = nullptr;  // nothing for the global options
    CLI::App* parser = nullptr;
    std::string usage;
    std::vector<DeclaredWord> words;
    std::vector<DeclaredCommand*> parts;  // learn: list, add, delete
};

// What a command's declare() says: each call adds one word to the parser and
// the same word, in the same order, to the usage line. Values are checked
// here where a type says what they may be; a value with its own Japanese rule
// (a start line, a reference count) is taken as text and checked by that rule.
class Declaration {
  public:
    Declaration(CommandLine& line, DeclaredCommand& declared);

    // REGION: one word that must be there.
    void positional(const char* shown, std::string& into);
    // [DIR]: one word that may be there.
    void optionalPositional(const char* shown, std::string& into);
    // CSV|ZIP...: every remaining word, at least one when `required`.
    void positionals(const char* shown, std::vector<std::string>& into, bool required = true);
    // ID: one whole number that must be there.
    void positional(const char* shown, std::int64_t& into);

    // [--start-line N]
    void option(const char* name, const char* value, std::optional<std::string>& into);
    // [--jobs N]: a whole number from `min` to `max`.
    void option(const char* name, const char* value, std::optional<int>& into, int min, int max);
    // [--field reg|tran|both]: one of the words; `into` keeps its default otherwise.
    void choice(const char* name, const std::vector<std::string>& words, std::string& into);
    // [--remove CSV|ZIP...]: every word after it up to the next option; may be
    // given again.
    void list(const char* name, const char* values, std::vector<std::string>& into);
    // [--quiet]
    void flag(const char* name, bool& into);
    // [--yes|--no]: at most one of the two, once.
    void eitherFlag(const char* a, bool& intoA, const char* b, bool& intoB);

    // A part of a command of several (learn list): declared by its own declare().
    void subcommand(Command& part);

  private:
    void word(DeclaredWord w);
    std::string positionalName() const;
    CommandLine& line_;
    DeclaredCommand& declared_;
};

}  // namespace mrk2::cli
