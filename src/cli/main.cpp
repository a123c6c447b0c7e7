// mrk2cli: the maintenance engine without windows, for scripts and batch work.
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/Config.h"
#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/Paths.h"
#include "app/SettingsLocation.h"
#include "app/WriterLock.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "data/PendingRegionChange.h"

using namespace mrk2;
using namespace mrk2::cli;

namespace {

void printHelp() {
    std::vector<CommandInfo> list = commands();
    std::sort(list.begin(), list.end(), [](const CommandInfo& a, const CommandInfo& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    std::cout << "使い方: mrk2cli [--ini FILE] [--db-dir DIR] [--yes|--no] [--quiet] COMMAND ...\n"
                 "\n"
                 "MRKメンテナンスツールの処理をウィンドウなしで実行します。\n"
                 "\n"
                 "共通オプション:\n"
                 "  --ini FILE    設定ファイル (既定は下の「設定ファイル」)\n"
                 "  --db-dir DIR  データベースのディレクトリ (設定ファイルの DBDIR より優先)\n"
                 "  --yes, --no   問い合わせにすべて「はい」/「いいえ」で答える\n"
                 "  --quiet       進行状況を表示しない\n"
                 "  --help        この説明\n"
                 "  --version     バージョン\n"
                 "\n"
                 "コマンド:\n";
    for (const auto& c : list) {
        std::string usage = c.usage;
        std::cout << "  " << usage;
        // At least two blanks between usage and summary, or the summary goes below.
        if (usage.size() + 2 <= 40)
            std::cout << std::string(40 - usage.size(), ' ');
        else
            std::cout << "\n" << std::string(42, ' ');
        std::cout << c.summary << "\n";
    }
    std::cout
        << "\n"
           "設定ファイル:\n"
        << kSettingsLocationHelp
        << "\n"
           "終了状態: 0 完了, 1 失敗・拒否・中止, 2 使い方の誤り\n"
           "\n"
           "例:\n"
           "  mrk2cli init /srv/mrk\n"
           "  mrk2cli --db-dir /srv/mrk regions\n"
           "  mrk2cli --db-dir /srv/mrk postal-build KEN_ALL.CSV\n"
           "  mrk2cli --db-dir /srv/mrk register 東京都 /data/13101_2023.csv /data/13102_2023.csv\n"
           "  mrk2cli --db-dir /srv/mrk register-all --jobs 2 /data/mlit\n"
           "  mrk2cli --db-dir /srv/mrk lookup 東京都 千代田区丸の内一丁目1番1号\n"
           "  mrk2cli --db-dir /srv/mrk diff 東京都_old.mdb /srv/mrk/東京都.mdb\n"
           "  mrk2cli --db-dir /srv/mrk --yes delete 東京都\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string iniPath;
    std::string dbDir;
    bool haveDbDir = false;
    AnswerPolicy policy = AnswerPolicy::Ask;
    bool quiet = false;
    std::vector<std::string> seen;  // an option given twice is refused: which was meant?

    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            printHelp();
            return kExitOk;
        } else if (a == "--version") {
            std::cout << "mrk2cli " << MRK2_VERSION << "\n";
            return kExitOk;
        } else if ((a == "--ini" || a == "--db-dir" || a == "--yes" || a == "--no") &&
                   std::find(seen.begin(), seen.end(), a == "--no" ? "--yes" : a) != seen.end()) {
            std::cerr << "mrk2cli: " << a << " は一度だけ指定して下さい。\n";
            return kExitUsage;
        } else if (a == "--ini" || a == "--db-dir") {
            seen.push_back(a);
            if (i + 1 >= args.size()) {
                std::cerr << "mrk2cli: " << a << " には値が必要です。\n";
                return kExitUsage;
            }
            if (a == "--ini") {
                iniPath = args[++i];
            } else {
                dbDir = args[++i];
                haveDbDir = true;
            }
        } else if (a == "--yes" || a == "--no") {
            // --yes and --no are one answer: only one of them may be given.
            seen.push_back("--yes");
            policy = a == "--yes" ? AnswerPolicy::Yes : AnswerPolicy::No;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "mrk2cli: 不明なオプションです: " << a
                      << "\n(mrk2cli --help で使い方を表示します)\n";
            return kExitUsage;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        std::cerr << "mrk2cli: コマンドを指定して下さい。(mrk2cli --help で使い方を表示します)\n";
        return kExitUsage;
    }
    const std::string name = args[i];
    const CommandInfo* command = nullptr;
    for (const auto& c : commands()) {
        if (name == c.name)
            command = &c;
    }
    if (!command) {
        std::cerr << "mrk2cli: 不明なコマンドです: " << name
                  << "\n(mrk2cli --help で使い方を表示します)\n";
        return kExitUsage;
    }

    CliPerson person(policy, quiet);
    CommandContext ctx{
        Settings(), person,
        std::vector<std::string>(args.begin() + static_cast<long>(i) + 1, args.end()), quiet};
    ctx.settings.iniPath = settingsFilePath(iniPath);
    // A settings file named on the command line is meant to be there: a typing
    // error would otherwise run with every default.
    if (!iniPath.empty() && !fileExists(ctx.settings.iniPath)) {
        std::cerr << "mrk2cli: 設定ファイルが見つかりません (" << ENOENT << ")\n"
                  << ctx.settings.iniPath << "\n";
        return kExitFailed;
    }
    if (command->needsConfig) {
        try {
            ctx.settings = loadSettings(ctx.settings.iniPath, person);
        } catch (const Error& e) {
            reportError(person, e);
            return kExitFailed;
        }
    }
    if (haveDbDir) {
        std::string d = absolutePath(dbDir);
        while (d.size() > 1 && d.back() == kPathSeparator)
            d.pop_back();
        ctx.settings.dbDir = d;
    }
    // What a killed writer left half done is finished before anything reads the
    // directory; a fault here is met again, and told, where the command needs it.
    if (command->needsConfig && ctx.settings.dbDir.empty() && name != "init") {
        person.message(kNoDbDirText);
        return kExitFailed;
    }
    // A directory this person may not enter would make every file in it look
    // missing: say what it is instead.
    if (command->needsConfig && ::access(ctx.settings.dbDir.c_str(), X_OK) != 0 &&
        errno == EACCES) {
        reportError(person, fileError(errno, ctx.settings.dbDir));
        return kExitFailed;
    }
    if (command->needsConfig) {
        if (auto setAside = settleDatabaseDirectory(ctx.settings.dbDir))
            person.message(*setAside);
    }
    return command->run(ctx);
}
