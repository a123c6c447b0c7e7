// mrk2cli postal-build: the main window's "更新" of the national postal table.
#include <iostream>

#include "app/Error.h"
#include "app/Paths.h"
#include "app/StartLine.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "postal/NationalPostalBuild.h"

namespace mrk2::cli {

namespace {

int runPostalBuild(CommandContext& ctx);

const CommandInfo kInfo{"postal-build", "postal-build CSV|ZIP [--start-line N]",
                        "全国版郵便番号CSVから基本DBの POST を作り直す", &runPostalBuild};

MRK2_COMMAND(kInfo);

int runPostalBuild(CommandContext& ctx) {
    ArgList args(ctx.args);
    auto startLine = args.option("--start-line");
    auto words = args.positional();
    if (!args.error().empty())
        return usageError(kInfo, args.error());
    if (words.size() != 1)
        return usageError(kInfo, "CSVファイルを一つ指定して下さい。");
    NationalPostalRequest request;
    request.dbDir = ctx.settings.dbDir;
    request.csvPath = absolutePath(words[0]);
    request.columns = ctx.settings.postalColumns;
    try {
        request.startLine = parseStartLine(startLine.value_or(ctx.settings.postalStart));
    } catch (const Refusal& r) {
        ctx.person.message(r.what());
        return kExitFailed;
    }
    const Outcome outcome = startNationalPostalBuild(request, ctx.person, ctx.person);
    if (!outcome.succeeded())
        return kExitFailed;
    std::cout << outcome.summary << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
