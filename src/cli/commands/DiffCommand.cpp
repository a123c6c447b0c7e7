// mrk2cli diff: what differs between two region databases, e.g. a backup and
// the region after an update.
#include <iostream>

#include "app/Error.h"
#include "app/Paths.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/ComparisonReport.h"

namespace mrk2::cli {

namespace {

int runDiff(CommandContext& ctx);

const CommandInfo kInfo{"diff", "diff OLD.mdb NEW.mdb",
                        "二つの地域別ＤＢを比べ、町の追加・削除と街区数の変化を表示する", &runDiff,
                        false};

MRK2_COMMAND(kInfo);

int runDiff(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.size() != 2)
        return usageError(kInfo, "地域別ＤＢのファイルを二つ指定して下さい。");
    RegionSnapshot snapshots[2];
    for (int i = 0; i < 2; ++i) {
        if (!fileExists(words[i])) {
            ctx.person.message("地域別ＤＢが見つかりません。\n" + words[i]);
            return kExitFailed;
        }
        try {
            snapshots[i] = readRegionSnapshot(words[i]);
        } catch (const std::exception& e) {
            ctx.person.message(standardErrorText(asError(e), words[i]));
            return kExitFailed;
        }
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
