// `mrk2cli --help` is where commands and options are written first; the manual
// page and the bash completion, kept beside the code, must follow it.
#include <gtest/gtest.h>

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
    std::string man = manPageText("src/cli/mrk2cli.1.in");
    EXPECT_NE(man.find(help.synopsis), std::string::npos) << help.synopsis;
    for (const auto& usage : help.usages)
        EXPECT_NE(man.find("\n" + usage + "\n"), std::string::npos) << usage;
    for (const auto& option : help.options)
        EXPECT_NE(man.find(option), std::string::npos) << option;
    EXPECT_NE(man.find("~/.config/mrk2tool/mrk2tool.ini"), std::string::npos);
}

TEST(HelpAgreement, CompletionOffersEveryCommandAndOptionOfTheHelp) {
    Help help = readHelp();
    std::string completion = readFile(std::string(MRK2_SOURCE_DIR) + "/src/cli/mrk2cli.bash");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(completion, m, std::regex("commands=\"([^\"]*)\"")));
    std::istringstream words(m[1].str());
    std::set<std::string> offered{std::istream_iterator<std::string>(words), {}};
    EXPECT_EQ(offered, help.commands);
    std::set<std::string> options = longOptionsIn(completion);
    for (const auto& option : help.options)
        EXPECT_TRUE(options.count(option)) << option;
}
