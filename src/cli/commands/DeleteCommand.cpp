// mrk2cli delete: the main window's "削除" for one region.
#include <iostream>

#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "data/RegionDeletion.h"

namespace mrk2::cli {

namespace {

class DeleteCommand : public Command {
  public:
    DeleteCommand() : Command("delete", "地域別ＤＢを削除する（確認は --yes で答える）") {}
    void declare(Declaration& d) override { d.positional("REGION", region_); }
    int run(CommandContext& ctx) override;

  private:
    std::string region_;
};

MRK2_COMMAND(DeleteCommand);

int DeleteCommand::run(CommandContext& ctx) {
    const Outcome outcome =
        startRegionDeletion({ctx.settings.dbDir, region_}, ctx.person, ctx.person);
    if (outcome.kind != Outcome::Kind::Completed)
        return kExitFailed;
    std::cout << outcome.summary << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
