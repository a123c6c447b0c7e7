// mrk2cli learn: lists, adds and deletes entries of the learning dictionary 学習,
// by the same search rules and checks as the editor window.
#include <functional>
#include <iostream>
#include <string>

#include "base/Error.h"
#include "cli/CliPerson.h"
#include "cli/Command.h"
#include "cli/Listing.h"
#include "data/Database.h"
#include "data/LearningCatalog.h"
#include "data/LearningSearch.h"
#include "data/LearningTable.h"
#include "data/OperationStarter.h"

namespace mrk2::cli {

namespace {

std::string ownerText(const LearningEntry& e, const LearningCatalog& catalog) {
    std::int64_t d = effectiveDbNo(e);
    if (d == 0)
        return "共通";
    std::string name = catalog.nameOf(d);
    return name.empty() ? "#" + std::to_string(d) : name;
}

LearningCatalog loadCatalog(const CommandContext& ctx) {
    LearningCatalog catalog;
    inContext(ctx.baseDbPath(), [&] { loadLearningCatalog(ctx.baseDbPath(), catalog); });
    return catalog;
}

// A change of 学習 through the writers' starter, as the editor window saves;
// the exit status says how it ended, which the starter has told.
int changeDictionary(CommandContext& ctx, const std::function<void(Database&)>& change) {
    WriterOperation op;
    op.dbDir = ctx.settings.dbDir;
    op.context = ctx.baseDbPath();
    op.run = [&](StopControl&, ProgressSink&) {
        Database db = Database::open(ctx.baseDbPath());
        change(db);
        return Outcome::completed();
    };
    return startWriterOperation(op, ctx.person).succeeded() ? kExitOk : kExitFailed;
}

class LearnListCommand : public Command {
  public:
    LearnListCommand() : Command("list", "学習辞書の項目を一覧する") {}
    void declare(Declaration& d) override {
        d.option("--keyword", "KW", keyword_);
        d.choice("--field", {"reg", "tran", "both"}, field_);
        d.choice("--level", {"city", "town", "both"}, level_);
        d.option("--owner", "common|REGION", owner_);
    }
    int run(CommandContext& ctx) override;

  private:
    std::optional<std::string> keyword_;
    std::string field_ = "reg";
    std::string level_ = "both";
    std::optional<std::string> owner_;
};

int LearnListCommand::run(CommandContext& ctx) {
    LearningSearch s;
    s.keyword = keyword_.value_or("");
    s.field = field_ == "reg"    ? PhraseField::Registered
              : field_ == "tran" ? PhraseField::Transformed
                                 : PhraseField::Either;
    s.city = level_ != "town";
    s.town = level_ != "city";

    const LearningCatalog catalog = loadCatalog(ctx);
    if (owner_) {
        if (*owner_ == "common") {
            s.commonUser = true;
        } else {
            s.localUser = true;
            s.dbName = *owner_;
            if (catalog.findComboIndex(*owner_) < 0 && !ctx.quiet)
                std::cerr << "「" << *owner_
                          << "」はＤＢ一覧にありません。すべてのユーザーの項目を表示します。\n";
        }
    }

    LearningQuery q = buildLearningQuery(s, catalog);
    inContext(ctx.baseDbPath(), [&] {
        Database db = Database::open(ctx.baseDbPath(), Database::Mode::ReadOnly);
        std::cout << "ID\t登録字句\t変換字句\t参照回数\tユーザー\t区分\n";
        for (const LearningEntry& e : selectLearningEntries(db, q.condition, q.pattern)) {
            std::cout << e.id << '\t' << listingCell(e.registered) << '\t'
                      << listingCell(e.transformed) << '\t' << listingCell(e.refCount) << '\t'
                      << ownerText(e, catalog) << '\t'
                      << (effectiveType(e) == kLevelCity ? "市区町村" : "大字・町丁目") << '\n';
        }
    });
    return kExitOk;
}

class LearnAddCommand : public Command {
  public:
    LearnAddCommand() : Command("add", "学習辞書に項目を追加する") {}
    void declare(Declaration& d) override {
        d.positional("REG", values_.registered);
        d.positional("TRAN", values_.transformed);
        d.choice("--level", {"city", "town"}, level_);
        d.option("--owner", "common|REGION", owner_);
        d.option("--count", "N", count_);
    }
    int run(CommandContext& ctx) override;

  private:
    LearningValues values_;
    std::string level_ = "city";
    std::optional<std::string> owner_;
    std::optional<std::string> count_;
};

int LearnAddCommand::run(CommandContext& ctx) {
    LearningValues v = values_;
    v.type = level_ == "city" ? kLevelCity : kLevelTown;
    if (v.registered.empty() || v.transformed.empty())
        throw Refusal("全項目を設定して下さい。");
    auto n = parseRefCount(count_.value_or("1"));
    if (!n)
        throw Refusal(kRefCountNotNumber);
    v.refCount = *n;

    v.dbNo = 0;
    if (owner_ && *owner_ != "common") {
        const LearningCatalog catalog = loadCatalog(ctx);
        int i = catalog.findComboIndex(*owner_);
        if (i < 0)
            throw Refusal("「" + *owner_ + "」はＤＢ一覧に登録されていません。");
        v.dbNo = std::stoll(catalog.idList[static_cast<std::size_t>(i)]);
    }

    return changeDictionary(ctx,
                            [&](Database& db) { std::cout << insertLearningEntry(db, v) << '\n'; });
}

class LearnDeleteCommand : public Command {
  public:
    LearnDeleteCommand() : Command("delete", "学習辞書の項目を削除する") {}
    void declare(Declaration& d) override { d.positional("ID", id_); }
    int run(CommandContext& ctx) override;

  private:
    std::int64_t id_ = 0;
};

int LearnDeleteCommand::run(CommandContext& ctx) {
    return changeDictionary(ctx, [&](Database& db) {
        if (!deleteLearningEntry(db, id_))
            throw Refusal("ID " + std::to_string(id_) + " の項目はありません。");
    });
}

// The three parts; learn itself is never run.
class LearnCommand : public Command {
  public:
    LearnCommand() : Command("learn", "学習辞書の項目を一覧・追加・削除する") {}
    void declare(Declaration& d) override {
        d.subcommand(list_);
        d.subcommand(add_);
        d.subcommand(delete_);
    }
    int run(CommandContext&) override { return kExitUsage; }

  private:
    LearnListCommand list_;
    LearnAddCommand add_;
    LearnDeleteCommand delete_;
};

MRK2_COMMAND(LearnCommand);

}  // namespace

}  // namespace mrk2::cli
