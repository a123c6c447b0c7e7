#include "import/UniqueExtraction.h"

#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "base/Limits.h"
#include "base/ProgressPacer.h"
#include "base/Utf8Text.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"
#include "import/BatchInsert.h"

namespace mrk2 {

namespace {

constexpr const char* kTableLimitMessage = "テーブル数が多過ぎます。(最大9999テーブル)";

// Both passes order the staged rows the same way, with SQLite's binary collation,
// so they agree exactly on where one town ends and the next begins. Within a town
// the rows keep the order of the file's lines (fldID), as rows grouped in memory
// do (TownGroups.h).
const std::string kTownKey =
    columnList({fields::kPrefName, fields::kMunicipalityName, fields::kTownName});
const std::string kStaging = quoteIdentifier(tables::kStaging);
const std::string kPosition = quoteIdentifier(tables::kPosition);
const std::string kId = quoteIdentifier(fields::kId);
const std::string kTableName = quoteIdentifier(fields::kTableName);

const std::string kDistinctTowns = "SELECT " + kTownKey + ", " +
                                   columnList({fields::kSrcId, fields::kMunicipalityCode}) +
                                   ", MIN(" + kId + ") FROM " + kStaging + " GROUP BY " + kTownKey +
                                   ", " + quoteIdentifier(fields::kSrcId) + " ORDER BY " + kTownKey;
// The town, then the block row without its position id.
const std::string kStagedRows =
    "SELECT " + kTownKey + ", " +
    columnList(std::vector<const char*>(fields::kBlockRow.begin() + 1, fields::kBlockRow.end())) +
    " FROM " + kStaging + " ORDER BY " + kTownKey + ", " + kId;
const std::string kAddTown =
    "INSERT INTO " + kPosition + " (" +
    columnList({fields::kMunicipalityCode, fields::kPrefName, fields::kMunicipalityName,
                fields::kTownName, fields::kSrcId}) +
    ") VALUES (?1, ?2, ?3, ?4, ?5)";
const std::string kLastTownByKey =
    "SELECT " + kId + " FROM " + kPosition + " WHERE " + quoteIdentifier(fields::kPrefName) +
    " = ?1 AND " + quoteIdentifier(fields::kMunicipalityName) + " = ?2 AND " +
    quoteIdentifier(fields::kTownName) + " IS ?3 ORDER BY " + kId + " DESC LIMIT 1";
const std::string kTableOfTown =
    "SELECT " + kTableName + " FROM " + kPosition + " WHERE " + kId + " = ?1";
const std::string kSetTableOfTown =
    "UPDATE " + kPosition + " SET " + kTableName + " = ?1 WHERE " + kId + " = ?2";

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

const std::vector<std::string> kTownColumns(fields::kBlockRow.begin(), fields::kBlockRow.end());

// A per-town table takes about MINRECS rows and needs statements of its own, so
// its batches are smaller than the loader's: preparing a long statement for
// every table would cost more than the batching saves.
constexpr int kTownBatchRows = 32;

class Extraction {
  public:
    Extraction(Database& db, std::int32_t minRecs, TownTableCursor& cursor, RunProgress& progress)
        : db_(db), minRecs_(minRecs), cursor_(cursor), progress_(progress) {}

    // First pass: one POSITION row per distinct town of the file, in key order.
    void addTowns() {
        Statement select = db_.prepare(kDistinctTowns);
        Statement insert = db_.prepare(kAddTown);
        while (!progress_.stopped() && select.step()) {
            pace();
            Town town{{select.text(0), select.text(1), select.text(2)}, 0};
            // A town's code is that of its first line, as for lines grouped in memory.
            insert.bind(1, select.optionalText(4))
                .bind(2, select.optionalText(0))
                .bind(3, select.optionalText(1))
                .bind(4, select.optionalText(2));
            if (auto src = select.optionalInt64(3))
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
        // The staged rows are read without copying each value into a string of its own.
        Statement select = db_.prepare(kStagedRows);
        std::optional<BatchInsert> insert(std::in_place, db_, cursor_.tableName,
                                          std::vector<std::string>{}, kTownColumns, kTownBatchRows);
        cursor_.tableRows = 0;
        TownKey previous;
        std::int64_t positionId = 0;
        while (!progress_.stopped() && select.step()) {
            pace();
            if (select.view(0) != previous.pref || select.view(1) != previous.muni ||
                select.view(2) != previous.town) {
                TownKey key{std::string(select.view(0)), std::string(select.view(1)),
                            std::string(select.view(2))};
                if (cursor_.tableRows >= minRecs_) {
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
            ++cursor_.tableRows;
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
                byKey_ = db_.prepare(kLastTownByKey);
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
            throw Error(FormatError::NotFound, std::string(tables::kPosition) +
                                                   " に町域がありません: " + key.pref + key.muni +
                                                   key.town);
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
    Statement tableOf_ = db_.prepare(kTableOfTown);
    Statement setTable_ = db_.prepare(kSetTableOfTown);
    std::optional<Statement> byKey_;
};

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
        dropTable(db, tables::kStaging);
        throw;
    }
    dropTable(db, tables::kStaging);
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
            tx.commitAfterFault();
            throw;
        }
    });
}

void beginNextTownTable(Database& db, TownTableCursor& cursor) {
    int number = cursor.tableNumber + 1;
    cursor.tableNumber = number;
    if (number > kMaxTownTableNumber)
        throw Refusal(kTableLimitMessage);
    std::string name = townTableName(number);
    cursor.tableRows = 0;
    createTownTableIn(db, name, cursor.laterIndexes);
    cursor.tableName = name;
}

void addTownTable(Database& db, int number, TownTableCursor& cursor) {
    if (number > kMaxTownTableNumber)
        throw Refusal(kTableLimitMessage);
    std::string name = townTableName(number);
    createTownTableIn(db, name, cursor.laterIndexes);
    cursor.tableNumber = number;
    cursor.tableName = name;
    cursor.tableRows = 0;
}

void addTownTable(const std::string& dbPath, int number, TownTableCursor& cursor) {
    if (number > kMaxTownTableNumber)
        throw Refusal(kTableLimitMessage);
    std::string name = townTableName(number);
    createTownTable(dbPath, name);
    cursor.tableNumber = number;
    cursor.tableName = name;
    cursor.tableRows = 0;
}

std::int32_t nextTableNumber(const std::string& dbPath) {
    return inContext(dbPath, [&]() -> std::int32_t {
        Database db = Database::open(dbPath, Database::Mode::ReadOnly);
        // Fixed-width names sort in numeric order; rows without a table name hold
        // no number and are passed over.
        static const std::string lastTable = "SELECT " + kTableName + " FROM " + kPosition +
                                             " WHERE " + kTableName + " IS NOT NULL ORDER BY " +
                                             kTableName + " DESC LIMIT 1";
        Statement st = db.prepare(lastTable);
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
