// mrk2cli learn: lists, adds and deletes entries of the learning dictionary 学習,
// by the same search rules and checks as the editor window.
#include <charconv>
#include <iostream>
#include <string>

#include "app/Error.h"
#include "app/WriterLock.h"
#include "cli/ArgList.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "data/Database.h"
#include "data/LearningCatalog.h"
#include "data/LearningSearch.h"
#include "data/LearningTable.h"

namespace mrk2::cli {

namespace {

int runLearn(CommandContext& ctx);

const CommandInfo kInfo{"learn", "learn list|add|delete ...",
                        "学習辞書の項目を一覧・追加・削除する", &runLearn};

MRK2_COMMAND(kInfo);

int usage(const std::string& why) {
    std::cerr << "mrk2cli: " << why
              << "\n使い方:\n"
                 "  mrk2cli learn list [--keyword KW] [--field reg|tran|both]\n"
                 "                     [--level city|town|both] [--owner common|REGION]\n"
                 "  mrk2cli learn add REG TRAN [--level city|town] [--owner common|REGION]\n"
                 "                     [--count N]\n"
                 "  mrk2cli learn delete ID\n";
    return kExitUsage;
}

void say(CommandContext& ctx, const std::string& text) {
    static_cast<Person&>(ctx.person).message(text);
}

std::string ownerText(const LearningEntry& e, const LearningCatalog& catalog) {
    std::int64_t d = effectiveDbNo(e);
    if (d == 0)
        return "共通";
    std::string name = catalog.nameOf(d);
    return name.empty() ? "#" + std::to_string(d) : name;
}

bool loadCatalog(CommandContext& ctx, LearningCatalog& catalog) {
    try {
        loadLearningCatalog(ctx.baseDbPath(), catalog);
        return true;
    } catch (const Error& e) {
        say(ctx, standardErrorText(e, ctx.baseDbPath()));
        return false;
    }
}

int list(CommandContext& ctx, ArgList& args) {
    auto keyword = args.option("--keyword");
    auto field = args.option("--field");
    auto level = args.option("--level");
    auto owner = args.option("--owner");
    if (args.positional().size() != 1 || !args.error().empty())
        return usage(args.error().empty() ? "余分な引数があります。" : args.error());

    LearningSearch s;
    s.keyword = keyword.value_or("");
    std::string f = field.value_or("reg");
    if (f == "reg")
        s.field = PhraseField::Registered;
    else if (f == "tran")
        s.field = PhraseField::Transformed;
    else if (f == "both")
        s.field = PhraseField::Either;
    else
        return usage("--field は reg, tran, both のいずれかです。");
    std::string l = level.value_or("both");
    if (l != "city" && l != "town" && l != "both")
        return usage("--level は city, town, both のいずれかです。");
    s.city = l != "town";
    s.town = l != "city";

    LearningCatalog catalog;
    if (!loadCatalog(ctx, catalog))
        return kExitFailed;
    if (owner) {
        if (*owner == "common") {
            s.commonUser = true;
        } else {
            s.localUser = true;
            s.dbName = *owner;
            if (catalog.findComboIndex(*owner) < 0 && !ctx.quiet)
                std::cerr << "「" << *owner
                          << "」はＤＢ一覧にありません。すべてのユーザーの項目を表示します。\n";
        }
    }

    LearningQuery q = buildLearningQuery(s, catalog);
    try {
        Database db = Database::open(ctx.baseDbPath(), Database::Mode::ReadOnly);
        std::cout << "ID\t登録字句\t変換字句\t参照回数\tユーザー\t区分\n";
        for (const LearningEntry& e : selectLearningEntries(db, q.condition, q.pattern)) {
            std::cout << e.id << '\t' << listingCell(e.registered) << '\t'
                      << listingCell(e.transformed) << '\t' << listingCell(e.refCount) << '\t'
                      << ownerText(e, catalog) << '\t'
                      << (effectiveType(e) == kLevelCity ? "市区町村" : "大字・町丁目") << '\n';
        }
    } catch (const Error& e) {
        say(ctx, standardErrorText(e, ctx.baseDbPath()));
        return kExitFailed;
    }
    return kExitOk;
}

int add(CommandContext& ctx, ArgList& args) {
    auto level = args.option("--level");
    auto owner = args.option("--owner");
    auto count = args.option("--count");
    std::vector<std::string> words = args.positional();
    if (!args.error().empty())
        return usage(args.error());
    if (words.size() != 3)
        return usage("登録字句と変換字句を指定して下さい。");

    LearningValues v;
    v.registered = words[1];
    v.transformed = words[2];
    std::string l = level.value_or("city");
    if (l == "city")
        v.type = kLevelCity;
    else if (l == "town")
        v.type = kLevelTown;
    else
        return usage("--level は city, town のいずれかです。");
    if (v.registered.empty() || v.transformed.empty()) {
        say(ctx, "全項目を設定して下さい。");
        return kExitFailed;
    }
    auto n = parseRefCount(count.value_or("1"));
    if (!n) {
        say(ctx, kRefCountNotNumber);
        return kExitFailed;
    }
    v.refCount = *n;

    v.dbNo = 0;
    if (owner && *owner != "common") {
        LearningCatalog catalog;
        if (!loadCatalog(ctx, catalog))
            return kExitFailed;
        int i = catalog.findComboIndex(*owner);
        if (i < 0) {
            say(ctx, "「" + *owner + "」はＤＢ一覧に登録されていません。");
            return kExitFailed;
        }
        v.dbNo = std::stoll(catalog.idList[static_cast<std::size_t>(i)]);
    }

    try {
        WriterLock lock = WriterLock::take(ctx.settings.dbDir);
        Database db = Database::open(ctx.baseDbPath());
        std::cout << insertLearningEntry(db, v) << '\n';
    } catch (const Error& e) {
        say(ctx, standardErrorText(e, ctx.baseDbPath()));
        return kExitFailed;
    } catch (const Refusal& r) {
        say(ctx, r.what());
        return kExitFailed;
    }
    return kExitOk;
}

int remove(CommandContext& ctx, ArgList& args) {
    std::vector<std::string> words = args.positional();
    if (!args.error().empty())
        return usage(args.error());
    std::int64_t id = 0;
    if (words.size() != 2)
        return usage("削除する項目の ID を指定して下さい。");
    const std::string& w = words[1];
    auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), id);
    if (ec != std::errc() || end != w.data() + w.size())
        return usage("ID は整数です: " + w);
    try {
        WriterLock lock = WriterLock::take(ctx.settings.dbDir);
        Database db = Database::open(ctx.baseDbPath());
        if (!deleteLearningEntry(db, id)) {
            say(ctx, "ID " + w + " の項目はありません。");
            return kExitFailed;
        }
    } catch (const Error& e) {
        say(ctx, standardErrorText(e, ctx.baseDbPath()));
        return kExitFailed;
    } catch (const Refusal& r) {
        say(ctx, r.what());
        return kExitFailed;
    }
    return kExitOk;
}

int runLearn(CommandContext& ctx) {
    ArgList args(ctx.args);
    const std::string sub = ctx.args.empty() ? "" : ctx.args.front();
    if (sub == "list")
        return list(ctx, args);
    if (sub == "add")
        return add(ctx, args);
    if (sub == "delete")
        return remove(ctx, args);
    return usage("list, add, delete のいずれかを指定して下さい。");
}

}  // namespace

}  // namespace mrk2::cli
