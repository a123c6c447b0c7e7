// mrk2cli diff: what differs between two region databases, e.g. a backup and
// the region after an update.
#include <iostream>

#include "base/Error.h"
#include "base/Paths.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/ComparisonReport.h"

namespace mrk2::cli {

namespace {

class DiffCommand : public Command {
  public:
    DiffCommand()
        : Command("diff", "二つの地域別ＤＢを比べ、町の追加・削除と街区数の変化を表示する", false) {
    }
    void declare(Declaration& d) override {
        d.positional("OLD.mdb", files_[0]);
        d.positional("NEW.mdb", files_[1]);
    }
    int run(CommandContext& ctx) override;

  private:
    std::string files_[2];
};

MRK2_COMMAND(DiffCommand);

int DiffCommand::run(CommandContext&) {
    RegionSnapshot snapshots[2];
    for (int i = 0; i < 2; ++i) {
        if (!fileExists(files_[i]))
            throw Refusal("地域別ＤＢが見つかりません。\n" + files_[i]);
        snapshots[i] = inContext(files_[i], [&] { return readRegionSnapshot(files_[i]); });
    }
    RegionComparison c = compareRegions(snapshots[0], snapshots[1]);
    printComparisonSummary(std::cout, c);
    if (!c.unchanged()) {
        std::cout << "\n";
        printComparisonDetails(std::cout, c);
    }
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
