#pragma once
#include <string>
#include <vector>

#include "cli/Command.h"
#include "import/ImportRequest.h"

namespace mrk2::cli {

// The sources a path from the command line stands for, made absolute: a CSV
// file, or every CSV member of a zip archive.
void addSourcesOf(const std::string& path, std::vector<SourceFile>& into);

// Refuses (10004) sources that come to more than a region takes: a fault of
// what the archives hold, not of the command line.
void checkSourceLimit(std::size_t sources);

// The memory runs group lines in: --memory when given ("256M"), else MEMORY of
// the settings; a size that is none is an error (10003).
std::size_t memoryOption(const CommandContext& ctx, const std::optional<std::string>& memory);

// An import request for `region` from the settings, with --start-line in place of
// POSINFOSTART and --memory in place of MEMORY when given; a start line that is
// no number is refused.
ImportRequest importRequest(const CommandContext& ctx, ImportMode mode, const std::string& region,
                            const std::optional<std::string>& startLine,
                            const std::optional<std::string>& memory);

// Runs the import through the one starter; returns the exit status.
int runImportCommand(CommandContext& ctx, const ImportRequest& request);

}  // namespace mrk2::cli
