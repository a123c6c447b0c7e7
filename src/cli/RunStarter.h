#pragma once
#include <optional>
#include <string>

#include "cli/Command.h"
#include "import/ImportRequest.h"

namespace mrk2::cli {

// False, with a message, when the name cannot be a region's file name.
bool acceptRegionName(CommandContext& ctx, const std::string& name);

// The sources a path from the command line stands for, made absolute: a CSV
// file, or every CSV member of a zip archive. False, with the error told, when
// an archive cannot be read.
bool addSourcesOf(CommandContext& ctx, const std::string& path, std::vector<SourceFile>& into);

// The memory runs group lines in: --memory when given ("256M"), else MEMORY of
// the settings. Nothing, with the message, for a size that is none.
std::optional<std::size_t> memoryOption(CommandContext& ctx,
                                        const std::optional<std::string>& memory);

// False, with the limit told (10004), when the sources given come to more than
// a region takes: a fault of what the archives hold, not of the command line.
bool withinSourceLimit(CommandContext& ctx, std::size_t sources);

// An import request for `region` from the settings, with --start-line in place of
// POSINFOSTART and --memory in place of MEMORY when given. Nothing, with the
// message, for a start line that is no number or a size that is none.
std::optional<ImportRequest> importRequest(CommandContext& ctx, ImportMode mode,
                                           const std::string& region,
                                           const std::optional<std::string>& startLine,
                                           const std::optional<std::string>& memory);

// Runs the import through the one starter; returns the exit status.
int runImportCommand(CommandContext& ctx, const ImportRequest& request);

}  // namespace mrk2::cli
