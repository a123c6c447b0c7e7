// `mrk2cli --help` is where commands and options are told first; the manual
// page and the bash completion, written by the build from the same
// declarations, must follow it.
#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <regex>
#include <sstream>

#include "support/CliRunner.h"
#include "support/ManPage.h"
#include "support/TempDir.h"

using namespace mrk2::test;

namespace {

struct Help {
    std::string synopsis;             // after "使い方: "
    std::vector<std::string> usages;  // "register REGION CSV... [--start-line N]"
    std::set<std::string> commands;   // "register"
    std::set<std::string> options;    // of the help and of the learn usage
};

Help readHelp() {
    Help h;
    CliResult help = runCli({"--help"});
    CliResult learn = runCli({"learn"});  // its usage, on stderr
    std::istringstream lines(help.out);
    bool inCommands = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("使い方: ", 0) == 0)
            h.synopsis = line.substr(std::string("使い方: ").size());
        else if (line == "コマンド:")
            inCommands = true;
        else if (line.empty())
            inCommands = false;
        else if (inCommands && line.size() > 2 && line[2] != ' ') {
            std::string usage = line.substr(2, line.find("  ", 2) - 2);
            h.usages.push_back(usage);
            h.commands.insert(usage.substr(0, usage.find(' ')));
        }
    }
    h.options = longOptionsIn(help.out + learn.err);
    return h;
}

}  // namespace

TEST(HelpAgreement, ManualPageHasEveryCommandAndOptionOfTheHelp) {
    Help help = readHelp();
    ASSERT_GE(help.usages.size(), 9u);
    std::string man = manPageText(MRK2_CLI_MAN_PAGE);
    EXPECT_NE(man.find(help.synopsis), std::string::npos) << help.synopsis;
    for (const auto& usage : help.usages)
        EXPECT_NE(man.find("\n" + usage + "\n"), std::string::npos) << usage;
    for (const auto& option : help.options)
        EXPECT_NE(man.find(option), std::string::npos) << option;
    EXPECT_NE(man.find("~/.config/mrk2tool/mrk2tool.ini"), std::string::npos);
}

TEST(HelpAgreement, CompletionOffersEveryCommandAndOptionOfTheHelp) {
    Help help = readHelp();
    std::string completion = readFile(MRK2_CLI_COMPLETION);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(completion, m, std::regex("commands=\"([^\"]*)\"")));
    std::istringstream words(m[1].str());
    std::set<std::string> offered{std::istream_iterator<std::string>(words), {}};
    EXPECT_EQ(offered, help.commands);
    std::set<std::string> options = longOptionsIn(completion);
    for (const auto& option : help.options)
        EXPECT_TRUE(options.count(option)) << option;
}

namespace {

// The words of a usage line to run it with: the command, a stand-in for each
// position it requires, and its options with the placeholder of their value
// ("" for a flag).
struct UsageLine {
    std::vector<std::string> required;
    std::vector<std::string> optional;  // positions in brackets
    std::vector<std::pair<std::string, std::string>> options;
    bool open = false;  // a position takes any number of words
};

UsageLine parseUsage(const std::string& usage) {
    std::istringstream in(usage);
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    UsageLine u;
    u.required.push_back(words[0]);
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string w = words[i];
        std::erase_if(w, [](char c) { return c == '[' || c == ']'; });
        if (w.rfind("--", 0) == 0) {
            const bool valued =
                i + 1 < words.size() && std::isupper(static_cast<unsigned char>(words[i + 1][0]));
            u.options.emplace_back(w.substr(0, w.find('|')), valued ? words[++i] : "");
            continue;
        }
        // Blanks in an address do not count: its words are one address.
        u.open = u.open || w.find("...") != std::string::npos || w.find("ADDRESS") == 0;
        (words[i][0] == '[' ? u.optional : u.required)
            .push_back(w.find(".mdb") != std::string::npos ? "/nonexistent/" + w : "x");
    }
    return u;
}

}  // namespace

// What a help line promises is what the command takes, and nothing else is
// read as something it is not: a word more than the line's positions, an
// option of one value given twice, an option without its value are usage
// errors (exit 2). That an option of several values takes them all is shown
// by the commands' own tests (update --remove).
TEST(HelpAgreement, EveryCommandRefusesWhatItsHelpLineDoesNotPromise) {
    TempDir d;
    const std::string ini = d.write("mrk2tool.ini", "[MRK]\nDBDIR=" + d.file("db") + "\n");
    auto status = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--ini", ini});
        return runCli(args).exitCode;
    };
    int options = 0;
    for (const std::string& usage : readHelp().usages) {
        SCOPED_TRACE(usage);
        UsageLine u = parseUsage(usage);
        if (!u.open) {
            std::vector<std::string> args = u.required;
            args.insert(args.end(), u.optional.begin(), u.optional.end());
            args.push_back("extra");
            EXPECT_EQ(status(args), 2);
        }
        for (const auto& [name, value] : u.options) {
            if (value.empty())
                continue;
            std::vector<std::string> args = u.required;
            args.push_back(name);
            EXPECT_EQ(status(args), 2) << name << " without a value";
            if (value.find("...") == std::string::npos) {
                args.insert(args.end(), {"2", name, "2"});
                EXPECT_EQ(status(args), 2) << name << " twice";
            }
            ++options;
        }
    }
    EXPECT_GE(options, 4);
}
