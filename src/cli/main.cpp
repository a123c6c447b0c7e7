// mrk2cli: the maintenance engine without windows, for scripts and batch work.
#include <unistd.h>
#include <cerrno>
#include <string>

#include "base/Config.h"
#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/Paths.h"
#include "base/SettingsLocation.h"
#include "base/WriterLock.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "data/OperationStarter.h"

using namespace mrk2;
using namespace mrk2::cli;

namespace {

// The one opening of every command: its settings, the database directory from
// them or from --db-dir, and what a killed writer left half done finished
// before anything reads the directory.
void open(CommandContext& ctx, const Command& command, const GlobalOptions& options) {
    ctx.settings.iniPath = settingsFilePath(options.iniPath.value_or(""));
    // A settings file named on the command line is meant to be there: a typing
    // error would otherwise run with every default.
    if (options.iniPath && !fileExists(ctx.settings.iniPath)) {
        throw Refusal("mrk2cli: 設定ファイルが見つかりません (" + std::to_string(ENOENT) + ")\n" +
                      ctx.settings.iniPath);
    }
    if (command.needsSettings())
        ctx.settings = loadSettings(ctx.settings.iniPath, ctx.person);
    if (options.dbDir) {
        std::string d = absolutePath(*options.dbDir);
        while (d.size() > 1 && d.back() == kPathSeparator)
            d.pop_back();
        ctx.settings.dbDir = d;
    }
    if (!command.needsSettings())
        return;
    if (ctx.settings.dbDir.empty()) {
        if (command.name() == "init")  // init may be given its directory instead
            return;
        throw Refusal(kNoDbDirText);
    }
    // A directory this person may not enter would make every file in it look
    // missing: say what it is instead.
    if (::access(ctx.settings.dbDir.c_str(), X_OK) != 0 && errno == EACCES)
        throw fileError(errno, ctx.settings.dbDir);
    // A fault here is met again, and told, where the command needs it; a record
    // set aside is told now.
    settleDatabaseDirectory(ctx.settings.dbDir, ctx.person);
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    int status = kExitOk;
    Command* command = line.parse(argc, argv, status);
    if (!command)
        return status;
    CliPerson person(line.globals().policy(), line.globals().quiet);
    CommandContext ctx{Settings(), person, line.globals().quiet};
    try {
        open(ctx, *command, line.globals());
        return command->run(ctx);
    } catch (const UsageError& e) {
        return line.usageError(*command, e.what());
    } catch (const std::exception& e) {
        reportError(person, e);
        return kExitFailed;
    }
}
