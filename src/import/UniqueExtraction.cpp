#include "import/UniqueExtraction.h"

#include <sqlite3.h>

#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "app/Error.h"
#include "app/Limits.h"
#include "app/ProgressPacer.h"
#include "app/Utf8Text.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "import/BatchInsert.h"

namespace mrk2 {

namespace {

constexpr const char* kTableLimitMessage = "テーブル数が多過ぎます。(最大9999テーブル)";

// Both passes order the staged rows the same way, with SQLite's binary collation,
// so they agree exactly on where one town ends and the next begins. Within a town
// the rows keep the order of the file's lines (fldID), as rows grouped in memory
// do (TownGroups.h).
constexpr const char* kDistinctTowns =
    "SELECT fld都道府県名, fld市区町村名, fld大字・町丁目, fldSrcID, fld市区町村コード, "
    "MIN(fldID) FROM POSITION_TMP GROUP BY fld都道府県名, fld市区町村名, fld大字・町丁目, "
    "fldSrcID ORDER BY fld都道府県名, fld市区町村名, fld大字・町丁目";
constexpr const char* kStagedRows =
    "SELECT fld都道府県名, fld市区町村名, fld大字・町丁目, fld街区・番地, fld座標系番号, "
    "fldＸ座標, fldＹ座標, fld緯度, fld経度, fldメッシュコード, fld住居表示フラグ, fld代表フラグ "
    "FROM POSITION_TMP ORDER BY fld都道府県名, fld市区町村名, fld大字・町丁目, fldID";

struct TownKey {
    std::string pref;
    std::string muni;
    std::string town;  // NULL reads as "" (a stored town is never "")
    bool operator==(const TownKey&) const = default;
};

struct Town {
    TownKey key;
    std::int64_t positionId = 0;
};

const std::vector<std::string> kTownColumns = {
    "fldPositionID", "fld街区・番地", "fld座標系番号",     "fldＸ座標",         "fldＹ座標",
    "fld緯度",       "fld経度",       "fldメッシュコード", "fld住居表示フラグ", "fld代表フラグ"};

// A per-town table takes about MINRECS rows and needs statements of its own, so
// its batches are smaller than the loader's: preparing a long statement for
// every table would cost more than the batching saves.
constexpr int kTownBatchRows = 32;

// The staged rows are read without copying each value into a string of its own.
class RawSelect {
  public:
    RawSelect(Database& db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &stmt_, nullptr) != SQLITE_OK)
            fail();
    }
    ~RawSelect() { sqlite3_finalize(stmt_); }
    RawSelect(const RawSelect&) = delete;
    RawSelect& operator=(const RawSelect&) = delete;

    bool step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    bool isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
    // Valid until the next step; NULL reads as "".
    std::string_view view(int col) const {
        const unsigned char* p = sqlite3_column_text(stmt_, col);
        if (!p)
            return {};
        return {reinterpret_cast<const char*>(p),
                static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))};
    }

  private:
    [[noreturn]] void fail() {
        sqlite3* h = db_.handle();
        throw sqliteError(sqlite3_extended_errcode(h), sqlite3_errmsg(h));
    }
    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Extraction {
  public:
    Extraction(Database& db, std::int32_t minRecs, TownTableCursor& cursor, RunProgress& progress)
        : db_(db), minRecs_(minRecs), cursor_(cursor), progress_(progress) {}

    // First pass: one POSITION row per distinct town of the file, in key order.
    void addTowns() {
        Statement select = db_.prepare(kDistinctTowns);
        Statement insert = db_.prepare(
            "INSERT INTO POSITION (fld市区町村コード, fld都道府県名, fld市区町村名, "
            "fld大字・町丁目, "
            "fldSrcID) VALUES (?1, ?2, ?3, ?4, ?5)");
        while (!progress_.stopped() && select.step()) {
            pace();
            Town town{{select.text(0), select.text(1), select.text(2)}, 0};
            // A town's code is that of its first line, as for lines grouped in memory.
            insert.bind(1, select.optText(4))
                .bind(2, select.optText(0))
                .bind(3, select.optText(1))
                .bind(4, select.optText(2));
            if (auto src = select.optInt64(3))
                insert.bind(5, *src);
            else
                insert.bindNull(5);
            insert.run();
            town.positionId = db_.lastInsertRowid();
            towns_.push_back(std::move(town));
        }
    }

    // Second pass: every staged row into the current per-town table.
    void distribute() {
        RawSelect select(db_, kStagedRows);
        std::optional<BatchInsert> insert(std::in_place, db_, cursor_.tableName,
                                          std::vector<std::string>{}, kTownColumns, kTownBatchRows);
        cursor_.lngTableRows = 0;
        TownKey previous;
        std::int64_t positionId = 0;
        while (!progress_.stopped() && select.step()) {
            pace();
            if (select.view(0) != previous.pref || select.view(1) != previous.muni ||
                select.view(2) != previous.town) {
                TownKey key{std::string(select.view(0)), std::string(select.view(1)),
                            std::string(select.view(2))};
                if (cursor_.lngTableRows >= minRecs_) {
                    insert->flush();
                    insert.reset();
                    beginNextTownTable(db_, cursor_);
                    insert.emplace(db_, cursor_.tableName, std::vector<std::string>{}, kTownColumns,
                                   kTownBatchRows);
                }
                positionId = lookUpTown(key, select.isNull(2));
                previous = std::move(key);
            }
            insert->value(positionId);
            for (int col = 3; col <= 11; ++col) {
                if (select.isNull(col))
                    insert->null();
                else
                    insert->value(select.view(col));
            }
            insert->endRow();
            ++cursor_.lngTableRows;
        }
        insert->flush();
    }

  private:
    void pace() {
        if (pacer_.due())
            progress_.pulse();
    }

    // The town's POSITION row: the one this file's first pass added, which both
    // passes reach in the same order, so the lookup is by id rather than a search
    // of the whole directory. Its table is set when it names none yet.
    std::int64_t lookUpTown(const TownKey& key, bool townIsNull) {
        std::optional<std::int64_t> id;
        if (next_ < towns_.size() && towns_[next_].key == key) {
            id = towns_[next_++].positionId;
        } else {
            if (!byKey_) {
                byKey_ = db_.prepare(
                    "SELECT fldID FROM POSITION WHERE fld都道府県名 = ?1 AND fld市区町村名 = ?2 "
                    "AND "
                    "fld大字・町丁目 IS ?3 ORDER BY fldID DESC LIMIT 1");
            }
            byKey_->reset();
            byKey_->bind(1, key.pref).bind(2, key.muni);
            if (townIsNull)
                byKey_->bindNull(3);
            else
                byKey_->bind(3, key.town);
            if (byKey_->step())
                id = byKey_->int64(0);
            byKey_->reset();
        }
        if (!id) {
            throw Error(FormatError::NotFound,
                        "POSITION に町域がありません: " + key.pref + key.muni + key.town);
        }
        tableOf_.bind(1, *id);
        bool unset = tableOf_.step() && tableOf_.isNull(0);
        tableOf_.reset();
        if (unset) {
            setTable_.bind(1, cursor_.tableName).bind(2, *id);
            setTable_.run();
        }
        return *id;
    }

    Database& db_;
    const std::int32_t minRecs_;
    TownTableCursor& cursor_;
    RunProgress& progress_;
    ProgressPacer pacer_;
    std::vector<Town> towns_;
    std::size_t next_ = 0;
    Statement tableOf_ = db_.prepare("SELECT fldTableName FROM POSITION WHERE fldID = ?1");
    Statement setTable_ = db_.prepare("UPDATE POSITION SET fldTableName = ?1 WHERE fldID = ?2");
    std::optional<Statement> byKey_;
};

// What was distributed before a fault stays. The work file has no journal, and
// without one a rollback is undefined in SQLite; so what was done is committed,
// and the run throws the work file away.
void commitAfterFault(Transaction& tx) {
    try {
        tx.commit();
    } catch (const std::exception&) {
    }
}

}  // namespace

void getUniqueTable(Database& db, std::int32_t minRecs, TownTableCursor& cursor,
                    RunProgress& progress) {
    try {
        Extraction extraction(db, minRecs, cursor, progress);
        extraction.addTowns();
        if (!progress.stopped())
            extraction.distribute();
    } catch (const Refusal&) {
        // The table limit: the file's rows are done with.
        dropTable(db, "POSITION_TMP");
        throw;
    }
    dropTable(db, "POSITION_TMP");
}

void getUniqueTable(const std::string& dbPath, std::int32_t minRecs, TownTableCursor& cursor,
                    RunProgress& progress) {
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        // The run's work file is thrown away on any failure, so it needs no journal.
        db.useFastUnsafePragmas();
        Transaction tx(db);
        try {
            getUniqueTable(db, minRecs, cursor, progress);
            tx.commit();
        } catch (...) {
            commitAfterFault(tx);
            throw;
        }
    });
}

void beginNextTownTable(Database& db, TownTableCursor& cursor) {
    int number = cursor.intTableNo + 1;
    cursor.intTableNo = number;
    if (number > kMaxTownTableNumber)
        throw Refusal(kTableLimitMessage);
    std::string name = townTableName(number);
    cursor.lngTableRows = 0;
    createTownTableIn(db, name, cursor.laterIndexes);
    cursor.tableName = name;
}

void addTownTable(Database& db, int number, TownTableCursor& cursor) {
    if (number > kMaxTownTableNumber)
        throw Refusal(kTableLimitMessage);
    std::string name = townTableName(number);
    createTownTableIn(db, name, cursor.laterIndexes);
    cursor.intTableNo = number;
    cursor.tableName = name;
    cursor.lngTableRows = 0;
}

void addTownTable(const std::string& dbPath, int number, TownTableCursor& cursor) {
    if (number > kMaxTownTableNumber)
        throw Refusal(kTableLimitMessage);
    std::string name = townTableName(number);
    createTownTable(dbPath, name);
    cursor.intTableNo = number;
    cursor.tableName = name;
    cursor.lngTableRows = 0;
}

std::int32_t nextTableNumber(const std::string& dbPath) {
    return inContext(dbPath, [&]() -> std::int32_t {
        Database db = Database::open(dbPath, Database::Mode::ReadOnly);
        // Fixed-width names sort in numeric order; rows without a table name hold
        // no number and are passed over.
        Statement st = db.prepare(
            "SELECT fldTableName FROM POSITION WHERE fldTableName IS NOT NULL "
            "ORDER BY fldTableName DESC LIMIT 1");
        if (!st.step())
            return 1;
        std::string name = st.text(0);
        std::string digits = name.size() >= 4 ? name.substr(name.size() - 4) : name;
        bool numeric =
            !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
        if (!numeric) {
            throw Error(FormatError::NotANumber,
                        "テーブル名 \"" + name + "\" の末尾 4 文字が番号ではありません。");
        }
        return std::stoi(digits) + 1;
    });
}

}  // namespace mrk2
