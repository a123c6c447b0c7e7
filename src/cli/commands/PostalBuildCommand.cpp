// mrk2cli postal-build: the main window's "更新" of the national postal table.
#include <iostream>

#include "base/Error.h"
#include "base/Paths.h"
#include "base/StartLine.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "postal/NationalPostalBuild.h"

namespace mrk2::cli {

namespace {

class PostalBuildCommand : public Command {
  public:
    PostalBuildCommand()
        : Command("postal-build", "全国版郵便番号CSVから基本DBの POST を作り直す") {}
    void declare(Declaration& d) override {
        d.positional("CSV|ZIP", csv_);
        d.option("--start-line", "N", startLine_);
    }
    int run(CommandContext& ctx) override;

  private:
    std::string csv_;
    std::optional<std::string> startLine_;
};

MRK2_COMMAND(PostalBuildCommand);

int PostalBuildCommand::run(CommandContext& ctx) {
    NationalPostalRequest request;
    request.dbDir = ctx.settings.dbDir;
    request.csvPath = absolutePath(csv_);
    request.columns = ctx.settings.postalColumns;
    request.startLine = parseStartLine(startLine_.value_or(ctx.settings.postalStart));
    const Outcome outcome = startNationalPostalBuild(request, ctx.person, ctx.person);
    if (!outcome.succeeded())
        return kExitFailed;
    std::cout << outcome.summary << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
