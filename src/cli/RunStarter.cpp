#include "cli/RunStarter.h"

#include "base/Error.h"
#include "base/Limits.h"
#include "base/MemoryBudget.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "base/StartLine.h"
#include "cli/CliPerson.h"
#include "import/ImportStarter.h"

namespace mrk2::cli {

void addSourcesOf(const std::string& path, std::vector<SourceFile>& into) {
    for (SourceFile& f : sourcesOf(absolutePath(path)))
        into.push_back(std::move(f));
}

void checkSourceLimit(std::size_t sources) {
    if (sources > kMaxSourceFiles) {
        throw Error(FormatError::TooManyEntries,
                    "CSVファイルが " + std::to_string(sources) + " 個あります。" +
                        std::to_string(kMaxSourceFiles) + " 個までです。");
    }
}

std::size_t memoryOption(const CommandContext& ctx, const std::optional<std::string>& memory) {
    return memory ? parseMemorySize(*memory) : ctx.settings.memoryBudget;
}

ImportRequest importRequest(const CommandContext& ctx, ImportMode mode, const std::string& region,
                            const std::optional<std::string>& startLine,
                            const std::optional<std::string>& memory) {
    ImportRequest request;
    request.layout.startLine = parseStartLine(startLine.value_or(ctx.settings.posInfoStart));
    request.groupingBudget = memoryOption(ctx, memory);
    request.mode = mode;
    request.dbDir = ctx.settings.dbDir;
    request.region = region;
    request.layout.columns = ctx.settings.posInfoColumns;
    request.minRecs = ctx.settings.minRecs;
    return request;
}

int runImportCommand(CommandContext& ctx, const ImportRequest& request, std::string& runTime) {
    const Outcome outcome = startImportRun(request, ctx.person, ctx.person);
    runTime = outcome.summary;
    return outcome.succeeded() ? kExitOk : kExitFailed;
}

}  // namespace mrk2::cli
