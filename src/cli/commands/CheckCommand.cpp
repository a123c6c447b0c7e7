// mrk2cli check: verifies a region database file and the rules its tables keep.
#include <iostream>
#include <string>

#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "data/RegionCheck.h"

namespace mrk2::cli {

namespace {

class CheckCommand : public Command {
  public:
    CheckCommand() : Command("check", "地域別ＤＢの整合性を検査し、件数を表示する") {}
    void declare(Declaration& d) override { d.positional("REGION", region_); }
    int run(CommandContext& ctx) override;

  private:
    std::string region_;
};

MRK2_COMMAND(CheckCommand);

int CheckCommand::run(CommandContext& ctx) {
    ctx.existingRegionDb(region_);
    const RegionCheck check = checkRegion(ctx.settings.dbDir, region_);
    for (const std::string& work : check.workFiles) {
        std::cerr << (check.writerRunning ? "注意: 処理の実行中です。作業ファイル: "
                                          : "注意: 中断された処理の作業ファイルがあります: ")
                  << work << "\n";
    }
    if (!check.ok()) {
        for (const std::string& f : check.faults)
            std::cout << "異常: " << f << "\n";
        return kExitFailed;
    }
    std::cout << "OK " << region_ << "\n"
              << "ソース: " << check.sources << "\n"
              << "町: " << check.towns << "\n"
              << "町別テーブル: " << check.tables << "\n"
              << "行: " << check.rows << "\n"
              << "郵便番号: " << check.postal << "\n";
    return kExitOk;
}

}  // namespace

}  // namespace mrk2::cli
