// The bash completion as built from the declarations, run in bash with the
// bash-completion helpers it calls stood in for: _filedir answers with what it
// was asked for, the region list with one region.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "support/TempDir.h"

using namespace mrk2::test;

namespace {

// What the completion offers with the cursor at the end of `line`; the last
// word may be partly typed ("" for a new word).
std::string offered(const std::string& line, const std::string& partial = "") {
    TempDir d;
    const std::string script = d.write("run.sh", R"(
_init_completion() {
    words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
    cur=${words[cword]} prev=${words[cword - 1]}
}
_filedir() { COMPREPLY+=("<files $*>"); }
complete() { :; }
source ")" + std::string(MRK2_CLI_COMPLETION) + R"("
_mrk2cli_regions() { echo 東京都; }
read -ra COMP_WORDS <<<"$1"
COMP_WORDS+=("$2")
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
_mrk2cli
printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
)");
    const std::string command = "bash " + script + " '" + line + "' '" + partial + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    EXPECT_EQ(::pclose(pipe), 0) << line;
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

}  // namespace

TEST(Completion, CommandsAndTheirPartsAfterTheGlobalOptionsAndTheirValues) {
    EXPECT_EQ(offered("mrk2cli --db-dir /srv/mrk --yes", "re"),
              "regions register register-all reverse");
    EXPECT_EQ(offered("mrk2cli --ini"), "<files @(ini)>");
    EXPECT_EQ(offered("mrk2cli --db-dir"), "<files -d>");
    EXPECT_EQ(offered("mrk2cli learn"), "add delete list");
    EXPECT_EQ(offered("mrk2cli register", "--"), "--memory --start-line");
}

TEST(Completion, AnOptionsValueIsWhatThatCommandDeclares) {
    EXPECT_EQ(offered("mrk2cli learn list --field"), "both reg tran");
    EXPECT_EQ(offered("mrk2cli learn add --level"), "city town");
    EXPECT_EQ(offered("mrk2cli learn list --owner"), "common 東京都");
    EXPECT_EQ(offered("mrk2cli register-all --jobs"), "");
    // An option of several values takes every word up to the next option.
    EXPECT_EQ(offered("mrk2cli update 東京都 --remove a.csv"), "<files @(csv|CSV|zip|ZIP)>");
    EXPECT_EQ(offered("mrk2cli update 東京都 --remove a.csv --start-line"), "");
}

TEST(Completion, PositionsCountWordsAfterTheCommandButNotOptionsOrTheirValues) {
    EXPECT_EQ(offered("mrk2cli register"), "東京都");
    EXPECT_EQ(offered("mrk2cli register --start-line 2 東京都 a.csv"),
              "<files @(csv|CSV|zip|ZIP)>");
    EXPECT_EQ(offered("mrk2cli lookup 東京都"), "-");
    EXPECT_EQ(offered("mrk2cli diff a.mdb"), "<files @(mdb)>");
    EXPECT_EQ(offered("mrk2cli init"), "<files -d>");
    EXPECT_EQ(offered("mrk2cli learn delete"), "");
}
