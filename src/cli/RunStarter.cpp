#include "cli/RunStarter.h"

#include "app/Paths.h"
#include "cli/CliPerson.h"
#include "data/RegionDeletion.h"

namespace mrk2::cli {

bool selectRegion(CommandContext& ctx, const std::string& name) {
    if (!isUsableRegionName(name)) {
        ctx.person.message("この地域名はファイル名に使えません。\n" + name);
        return false;
    }
    ctx.state.strRegionName = name;
    ctx.state.strPrefDb = name + ".mdb";
    ctx.state.strPrefDbPath = joinPath(ctx.state.strDbDir, ctx.state.strPrefDb);
    return true;
}

SourceFile sourceFileOf(const std::string& path) {
    std::string abs = absolutePath(path);
    return {dirNameOf(abs), fileNameOf(abs)};
}

int startImport(CommandContext& ctx, ImportMode mode) {
    AppState& state = ctx.state;
    if (state.blnProcessing) {
        ctx.person.message("処理を実行中です。", Icon::Critical);
        return kExitFailed;
    }
    if (state.srcFiles.empty()) {
        ctx.person.message("CSVファイルを選択してください。");
        return kExitFailed;
    }
    state.blnProcessing = true;
    runImport(state, ctx.person, mode);
    if (state.blnProcessing) {
        ctx.person.message("処理を完了しました。");
        state.blnProcessing = false;
        return kExitOk;
    }
    ctx.person.message("処理を中止しました。");
    return kExitFailed;
}

}  // namespace mrk2::cli
