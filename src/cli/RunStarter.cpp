#include "cli/RunStarter.h"

#include "app/Error.h"
#include "app/Limits.h"
#include "app/Paths.h"
#include "app/RegionName.h"
#include "app/StartLine.h"
#include "cli/CliPerson.h"
#include "import/ImportStarter.h"

namespace mrk2::cli {

bool acceptRegionName(CommandContext& ctx, const std::string& name) {
    auto problem = regionNameProblem(name);
    if (problem)
        ctx.person.message(*problem);
    return !problem;
}

bool addSourcesOf(CommandContext& ctx, const std::string& path, std::vector<SourceFile>& into) {
    try {
        for (SourceFile& f : sourcesOf(absolutePath(path)))
            into.push_back(std::move(f));
        return true;
    } catch (const Error& e) {
        ctx.person.message(standardErrorText(e));
        return false;
    }
}

bool withinSourceLimit(CommandContext& ctx, std::size_t sources) {
    if (sources <= kMaxSourceFiles)
        return true;
    ctx.person.message(standardErrorText(Error(
        FormatError::TooManyEntries, "CSVファイルが " + std::to_string(sources) + " 個あります。" +
                                         std::to_string(kMaxSourceFiles) + " 個までです。")));
    return false;
}

std::optional<ImportRequest> importRequest(CommandContext& ctx, ImportMode mode,
                                           const std::string& region,
                                           const std::optional<std::string>& startLine) {
    ImportRequest request;
    try {
        request.layout.startLine = parseStartLine(startLine.value_or(ctx.settings.posInfoStart));
    } catch (const Refusal& r) {
        ctx.person.message(r.what());
        return std::nullopt;
    }
    request.mode = mode;
    request.dbDir = ctx.settings.dbDir;
    request.region = region;
    request.layout.columns = ctx.settings.posInfoColumns;
    request.minRecs = ctx.settings.minRecs;
    return request;
}

int runImportCommand(CommandContext& ctx, const ImportRequest& request) {
    return startImportRun(request, ctx.person, ctx.person).succeeded() ? kExitOk : kExitFailed;
}

}  // namespace mrk2::cli
