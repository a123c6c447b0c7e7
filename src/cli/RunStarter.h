#pragma once
#include <string>

#include "cli/Command.h"
#include "import/ImportRun.h"

namespace mrk2::cli {

// Points the state at the region `name` (strRegionName, strPrefDb, strPrefDbPath).
// False, with a message, when the name cannot be a file name.
bool selectRegion(CommandContext& ctx, const std::string& name);

// A CSV path from the command line as a source file: made absolute, then split
// into directory and file name.
SourceFile sourceFileOf(const std::string& path);

// What the selection window's "登録" and "更新" do: refuse an empty list, run the
// import, and say how it ended. Returns the exit status.
int startImport(CommandContext& ctx, ImportMode mode);

}  // namespace mrk2::cli
