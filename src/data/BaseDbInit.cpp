#include "data/BaseDbInit.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/FileOps.h"
#include "base/Paths.h"
#include "data/Database.h"
#include "data/OperationStarter.h"
#include "data/PostSchema.h"
#include "data/SchemaNames.h"

namespace mrk2 {

namespace {

struct PrefRow {
    const char* kanji;  // without the suffix
    const char* kana;   // half-width; with the suffix reading it gives Japan Post's reading
    const char* type;   // 都, 道, 府 or 県
};

// JIS X 0401 order. 北海道 keeps ﾄﾞｳ in its reading because 道 adds none.
constexpr PrefRow kPrefectures[] = {
    {"北海", "ﾎｯｶｲﾄﾞｳ", "道"}, {"青森", "ｱｵﾓﾘ", "県"},    {"岩手", "ｲﾜﾃ", "県"},
    {"宮城", "ﾐﾔｷﾞ", "県"},    {"秋田", "ｱｷﾀ", "県"},     {"山形", "ﾔﾏｶﾞﾀ", "県"},
    {"福島", "ﾌｸｼﾏ", "県"},    {"茨城", "ｲﾊﾞﾗｷ", "県"},   {"栃木", "ﾄﾁｷﾞ", "県"},
    {"群馬", "ｸﾞﾝﾏ", "県"},    {"埼玉", "ｻｲﾀﾏ", "県"},    {"千葉", "ﾁﾊﾞ", "県"},
    {"東京", "ﾄｳｷｮｳ", "都"},   {"神奈川", "ｶﾅｶﾞﾜ", "県"}, {"新潟", "ﾆｲｶﾞﾀ", "県"},
    {"富山", "ﾄﾔﾏ", "県"},     {"石川", "ｲｼｶﾜ", "県"},    {"福井", "ﾌｸｲ", "県"},
    {"山梨", "ﾔﾏﾅｼ", "県"},    {"長野", "ﾅｶﾞﾉ", "県"},    {"岐阜", "ｷﾞﾌ", "県"},
    {"静岡", "ｼｽﾞｵｶ", "県"},   {"愛知", "ｱｲﾁ", "県"},     {"三重", "ﾐｴ", "県"},
    {"滋賀", "ｼｶﾞ", "県"},     {"京都", "ｷｮｳﾄ", "府"},    {"大阪", "ｵｵｻｶ", "府"},
    {"兵庫", "ﾋｮｳｺﾞ", "県"},   {"奈良", "ﾅﾗ", "県"},      {"和歌山", "ﾜｶﾔﾏ", "県"},
    {"鳥取", "ﾄｯﾄﾘ", "県"},    {"島根", "ｼﾏﾈ", "県"},     {"岡山", "ｵｶﾔﾏ", "県"},
    {"広島", "ﾋﾛｼﾏ", "県"},    {"山口", "ﾔﾏｸﾞﾁ", "県"},   {"徳島", "ﾄｸｼﾏ", "県"},
    {"香川", "ｶｶﾞﾜ", "県"},    {"愛媛", "ｴﾋﾒ", "県"},     {"高知", "ｺｳﾁ", "県"},
    {"福岡", "ﾌｸｵｶ", "県"},    {"佐賀", "ｻｶﾞ", "県"},     {"長崎", "ﾅｶﾞｻｷ", "県"},
    {"熊本", "ｸﾏﾓﾄ", "県"},    {"大分", "ｵｵｲﾀ", "県"},    {"宮崎", "ﾐﾔｻﾞｷ", "県"},
    {"鹿児島", "ｶｺﾞｼﾏ", "県"}, {"沖縄", "ｵｷﾅﾜ", "県"},
};
static_assert(std::size(kPrefectures) == 47);

std::string autoNumber(const char* name) {
    return quoteIdentifier(name) + " INTEGER PRIMARY KEY AUTOINCREMENT";
}

std::string integer(const char* name) {
    return quoteIdentifier(name) + " INTEGER";
}

// A stored text is never "": an absent value can only be NULL.
std::string text(const char* name) {
    std::string q = quoteIdentifier(name);
    return q + " TEXT CHECK(" + q + " <> '')";
}

std::string createTable(const char* table, std::initializer_list<std::string> columns) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table) + " (";
    for (const std::string& c : columns)
        sql += (&c == columns.begin() ? "" : ", ") + c;
    return sql + ");\n";
}

const std::string& schemaSql() {
    static const std::string sql =
        createTable(tables::kCatalog,
                    {autoNumber(fields::kId), text(fields::kDbName), text(fields::kDbDir)}) +
        createTable(tables::kPrefectures, {text(fields::kKanjiName), text(fields::kKatakanaName),
                                           text(fields::kPrefType)}) +
        createTable(tables::kLearning,
                    {autoNumber(fields::kId), text(fields::kRegistered), text(fields::kTransformed),
                     integer(fields::kRefCount), integer(fields::kDbNo), integer(fields::kType)});
    return sql;
}

void fill(Database& db) {
    Transaction tx(db);
    db.exec(schemaSql());
    // An empty national postal table: a region can be registered before the
    // first national build, with no postal rows until then.
    createPostSchema(db);
    Statement insert =
        db.prepare("INSERT INTO " + quoteIdentifier(tables::kPrefectures) + " (" +
                   columnList({fields::kKanjiName, fields::kKatakanaName, fields::kPrefType}) +
                   ") VALUES (?1, ?2, ?3)");
    for (const PrefRow& p : kPrefectures)
        insert.bind(1, p.kanji).bind(2, p.kana).bind(3, p.type).run();
    tx.commit();
}

// Puts the finished file in place unless one has appeared there meanwhile.
void moveIntoPlace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        syncDirectoryOf(to);
        return;
    }
    int e = errno;
    if (e != EINVAL && e != ENOSYS)
        throw fileError(e, to);
    // A file system without the no-replace rename: test, then rename.
    if (fileExists(to))
        throw fileError(EEXIST, to);
    renameReplacing(from, to);
}

}  // namespace

void createBaseDatabase(const std::string& path) {
    if (fileExists(path) || directoryExists(path))
        throw fileError(EEXIST, path);
    // Built under a work name, so that a failure or a crash never leaves a
    // half-made base database under the real one's name.
    const std::string work = path + ".new";
    removeFile(work);
    try {
        {
            Database db = Database::open(work, Database::Mode::Create);
            fill(db);
        }
        syncFile(work);
        moveIntoPlace(work, path);
    } catch (...) {
        discardFile(work);
        throw;
    }
}

Outcome initBaseDatabase(const BaseDbCreation& request, Person& person) {
    const std::string path = files::baseDbPath(request.dbDir);
    WriterOperation op;
    op.dbDir = request.dbDir;
    op.context = path;
    op.check = [&](Person&) {
        if (fileExists(path) || directoryExists(path))
            throw Refusal("基本データベースは既に存在します。上書きはしません。\n" + path);
        // The lock file lives in the directory: it is made first.
        std::error_code ec;
        std::filesystem::create_directories(request.dbDir, ec);
        if (ec)
            throw fileError(ec.value(), request.dbDir);
        return Outcome::completed();
    };
    op.run = [&](StopControl&, ProgressSink&) {
        createBaseDatabase(path);
        return Outcome::completed();
    };
    return startWriterOperation(op, person);
}

}  // namespace mrk2
