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

// False, with the limit told (10004), when the sources given come to more than
// a region takes: a fault of what the archives hold, not of the command line.
bool withinSourceLimit(CommandContext& ctx, std::size_t sources);

// An import request for `region` from the settings, with --start-line in place of
// POSINFOSTART when given. Nothing, with the message, for a start line that is no
// number.
std::optional<ImportRequest> importRequest(CommandContext& ctx, ImportMode mode,
                                           const std::string& region,
                                           const std::optional<std::string>& startLine);

// Runs the import through the one starter; returns the exit status.
int runImportCommand(CommandContext& ctx, const ImportRequest& request);

}  // namespace mrk2::cli
