#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>

#include "base/SettingsLocation.h"
#include "cli/Command.h"

namespace mrk2::cli {

namespace {

// A parser as mrk2cli wants it: help is ours, words it does not know are
// told in Japanese after parsing (extraWordProblem) rather than in CLI11's
// English.
void shape(CLI::App& parser) {
    parser.set_help_flag("-h,--help");
    parser.allow_extras();
}

bool isOptionWord(const std::string& word) {
    return word.size() > 1 && word[0] == '-';
}

void printUsageLine(std::ostream& out, const std::string& usage, const std::string& summary) {
    out << "  " << usage;
    // At least two blanks between usage and summary, or the summary goes below.
    if (usage.size() + 2 <= 40)
        out << std::string(40 - usage.size(), ' ');
    else
        out << "\n" << std::string(42, ' ');
    out << summary << "\n";
}

}  // namespace

CommandLine::CommandLine() : app_(std::make_unique<CLI::App>("mrk2cli")) {
    shape(*app_);
    app_->set_version_flag("--version", MRK2_VERSION);
    app_->require_subcommand(1);
    DeclaredCommand& global = declared_.emplace_back();
    global.parser = app_.get();
    Declaration options(*this, global);
    options.option("--ini", "FILE", globals_.iniPath);
    options.option("--db-dir", "DIR", globals_.dbDir);
    options.eitherFlag("--yes", globals_.yes, "--no", globals_.no);
    options.flag("--quiet", globals_.quiet);
    global.usage = "mrk2cli " + global.usage + " COMMAND ...";
    for (const auto& command : commands())
        global.parts.push_back(&declarePart(global, *command));
    std::sort(global.parts.begin(), global.parts.end(),
              [](const DeclaredCommand* a, const DeclaredCommand* b) {
                  return a->command->name() < b->command->name();
              });
}

CommandLine::~CommandLine() = default;

DeclaredCommand& CommandLine::declarePart(DeclaredCommand& parent, Command& part) {
    DeclaredCommand& declared = declared_.emplace_back();
    declared.command = &part;
    declared.parser = parent.parser->add_subcommand(part.name(), part.summary());
    shape(*declared.parser);
    declared.usage = (parent.command ? parent.command->name() + " " : "") + part.name();
    Declaration words(*this, declared);
    part.declare(words);
    if (!declared.parts.empty()) {
        declared.parser->require_subcommand(1);
        std::string names;
        for (const DeclaredCommand* p : declared.parts)
            names += (names.empty() ? "" : "|") + p->command->name();
        declared.usage += " " + names + " ...";
    }
    return declared;
}

const DeclaredCommand* CommandLine::deepestParsed() const {
    const DeclaredCommand* at = &declared_.front();
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (const DeclaredCommand* part : at->parts) {
            if (part->parser->parsed()) {
                at = part;
                deeper = true;
                break;
            }
        }
    }
    return at;
}

// The first word no declaration took, told as the old reader told it.
std::string CommandLine::extraWordProblem() const {
    for (const DeclaredCommand& d : declared_) {
        if (d.parser != app_.get() && !d.parser->parsed())
            continue;
        for (const std::string& w : d.parser->remaining()) {
            if (w == "--")
                continue;
            if (isOptionWord(w))
                return "不明なオプションです: " + w;
            return d.command ? "余分な引数があります: " + w : "不明なコマンドです: " + w;
        }
    }
    return {};
}

namespace {

// CLI11's refusal in the words of this program.
std::string reasonOf(const CLI::ParseError& e, const DeclaredCommand& where,
                     const std::string& extra) {
    const std::string what = e.what();
    const std::string subject = what.substr(0, what.find(':'));
    if (dynamic_cast<const CLI::RequiredError*>(&e)) {
        if (!extra.empty())
            return extra;
        if (!where.command)
            return "コマンドを指定して下さい。";
        if (!where.parts.empty()) {
            std::string names;
            for (const DeclaredCommand* p : where.parts)
                names += (names.empty() ? "" : ", ") + p->command->name();
            return names + " のいずれかを指定して下さい。";
        }
        return "引数が足りません。";
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        return subject + (what.find("missing") != std::string::npos
                              ? " には値が必要です。"
                              : " は一度だけ指定して下さい。");
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&e)) {
        const std::string between = " excludes ";
        const std::size_t at = what.find(between);
        if (at != std::string::npos)
            return what.substr(0, at) + " と " + what.substr(at + between.size()) +
                   " は同時に指定できません。";
    }
    if (dynamic_cast<const CLI::ValidationError*>(&e) && what.find(": ") != std::string::npos)
        return what.substr(what.find(": ") + 2);
    return "引数が正しくありません: " + what;
}

}  // namespace

Command* CommandLine::parse(int argc, char** argv, int& status) {
    try {
        app_->parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        const DeclaredCommand* at = deepestParsed();
        if (at->command) {
            std::cout << "使い方: mrk2cli " << at->usage << "\n\n"
                      << at->command->summary() << "\n";
            for (const DeclaredCommand* part : at->parts)
                printUsageLine(std::cout, part->usage, part->command->summary());
        } else {
            printHelp();
        }
        status = kExitOk;
        return nullptr;
    } catch (const CLI::CallForVersion&) {
        std::cout << "mrk2cli " << MRK2_VERSION << "\n";
        status = kExitOk;
        return nullptr;
    } catch (const CLI::ParseError& e) {
        const DeclaredCommand* at = deepestParsed();
        status = usageError(*at, reasonOf(e, *at, extraWordProblem()));
        return nullptr;
    }
    const DeclaredCommand* at = deepestParsed();
    if (const std::string extra = extraWordProblem(); !extra.empty()) {
        status = usageError(*at, extra);
        return nullptr;
    }
    return at->command;
}

int CommandLine::usageError(const Command& command, const std::string& why) const {
    for (const DeclaredCommand& d : declared_) {
        if (d.command == &command)
            return usageError(d, why);
    }
    return usageError(declared_.front(), why);
}

int CommandLine::usageError(const DeclaredCommand& declared, const std::string& why) const {
    std::cerr << "mrk2cli: " << why << "\n";
    if (!declared.command) {
        std::cerr << "(mrk2cli --help で使い方を表示します)\n";
    } else if (declared.parts.empty()) {
        std::cerr << "使い方: mrk2cli " << declared.usage << "\n";
    } else {
        std::cerr << "使い方:\n";
        for (const DeclaredCommand* part : declared.parts)
            std::cerr << "  mrk2cli " << part->usage << "\n";
    }
    return kExitUsage;
}

void CommandLine::printHelp() const {
    std::cout << "使い方: " << declared_.front().usage
              << "\n"
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
    for (const DeclaredCommand* command : declared_.front().parts)
        printUsageLine(std::cout, command->usage, command->command->summary());
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

}  // namespace mrk2::cli
