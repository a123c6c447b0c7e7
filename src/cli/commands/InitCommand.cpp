// mrk2cli init: writes a new base database mrk2.mdb, since none can be supplied.
#include <iostream>
#include <string>

#include "base/FileNames.h"
#include "base/Paths.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "data/BaseDbInit.h"

namespace mrk2::cli {

namespace {

class InitCommand : public Command {
  public:
    InitCommand() : Command("init", "基本データベース mrk2.mdb を作成する (DIR の既定は DBDIR)") {}
    void declare(Declaration& d) override { d.optionalPositional("DIR", dir_); }
    int run(CommandContext& ctx) override;

  private:
    std::string dir_;
};

MRK2_COMMAND(InitCommand);

int InitCommand::run(CommandContext& ctx) {
    std::string dir = dir_.empty() ? ctx.settings.dbDir : absolutePath(dir_);
    if (dir.empty())
        throw UsageError(
            "ディレクトリを指定して下さい (DIR、--db-dir または設定ファイルの DBDIR)。");
    if (!initBaseDatabase({dir}, ctx.person).succeeded())
        return kExitFailed;
    if (!ctx.quiet)
        std::cerr << "基本データベースを作成しました。\n" << files::baseDbPath(dir) << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
