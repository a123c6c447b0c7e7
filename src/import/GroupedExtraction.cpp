#include "import/GroupedExtraction.h"

#include <vector>

#include "base/Error.h"
#include "base/Limits.h"
#include "base/ProgressPacer.h"
#include "base/Utf8Text.h"
#include "data/RegionSchema.h"
#include "data/SchemaNames.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

const std::vector<std::string> kTownFeedColumns = {
    fields::kMunicipalityCode, fields::kPrefName, fields::kMunicipalityName,
    fields::kTownName,         fields::kSrcId,    fields::kTableName};
const std::vector<std::string> kBlockFeedColumns(fields::kBlockRow.begin(),
                                                 fields::kBlockRow.end());
const std::string kBlockColumnList = columnList(kBlockFeedColumns);
const std::string kInsertTowns = "INSERT INTO " + quoteIdentifier(tables::kPosition) + " (" +
                                 columnList(kTownFeedColumns) +
                                 ") SELECT * FROM mrk2_grouped_towns";

// One statement writes at most this many rows, so that a Stop is seen and the
// window system gets its turn between them even inside a very large town.
constexpr std::size_t kChunkRows = 8192;

// The file's towns as POSITION rows, each naming the table its rows go to.
class TownRows : public RowSource {
  public:
    TownRows(const TownSort& groups, const GroupedSource& source,
             const std::vector<std::string>& tables)
        : towns_(groups.towns()), source_(source), tables_(tables) {}

    bool next() override { return ++index_ < towns_.size(); }
    void column(ColumnSink& out, int col) override {
        const TownGroups::Group& t = towns_[index_];
        switch (col) {
            case 0:
                out.textOrNull(t.code ? std::string_view(*t.code) : std::string_view());
                break;
            case 1:
                out.textOrNull(t.pref);
                break;
            case 2:
                out.textOrNull(t.muni);
                break;
            case 3:
                out.textOrNull(t.town);
                break;
            case 4:
                out.integer(source_.srcId);
                break;
            default:
                out.textOrNull(tables_[index_]);
                break;
        }
    }

  private:
    const std::vector<TownGroups::Group>& towns_;
    const GroupedSource& source_;
    const std::vector<std::string>& tables_;
    std::size_t index_ = static_cast<std::size_t>(-1);
};

// The next `limit` rows of the grouped order, from town `town` on, each with
// the position id of its town.
class BlockRows : public RowSource {
  public:
    BlockRows(TownSort& groups, const std::vector<std::int64_t>& positionIds, std::size_t town,
              std::size_t first, std::size_t limit)
        : groups_(groups), ids_(positionIds), town_(town), row_(first - 1), left_(limit) {}

    bool next() override {
        if (left_ == 0)
            return false;
        --left_;
        ++row_;
        const auto& towns = groups_.towns();
        while (row_ >= towns[town_].first + towns[town_].count)
            ++town_;
        values_ = groups_.nextRow();
        return true;
    }
    void column(ColumnSink& out, int col) override {
        if (col == 0)
            out.integer(ids_[town_]);
        else
            out.textOrNull(
                values_[static_cast<std::size_t>(Block) + static_cast<std::size_t>(col) - 1]
                    .value_or(""));
    }

  private:
    TownSort& groups_;
    const std::vector<std::int64_t>& ids_;
    std::size_t town_;
    std::size_t row_;
    std::size_t left_;
    PositionValues values_;
};

}  // namespace

GroupedExtraction::GroupedExtraction(Database& db)
    : db_(db),
      towns_(db, "mrk2_grouped_towns", kTownFeedColumns),
      blocks_(db, "mrk2_grouped_blocks", kBlockFeedColumns) {}

Statement& GroupedExtraction::blocksInto(const std::string& table) {
    if (table != blocksTable_) {
        insertBlocks_ = db_.prepare("INSERT INTO " + quoteIdentifier(table) + " (" +
                                    kBlockColumnList + ") SELECT * FROM mrk2_grouped_blocks");
        blocksTable_ = table;
    }
    return insertBlocks_;
}

void GroupedExtraction::write(TownSort& groups, const GroupedSource& source, std::int32_t minRecs,
                              TownTableCursor& cursor, RunProgress& progress) {
    const auto& towns = groups.towns();
    // The table of every town, by the rule of the extraction: a new table
    // begins at a town once the current one has taken `minRecs` rows of this
    // file (the count starts at 0 with every file).
    std::vector<int> numbers(towns.size());
    {
        std::int64_t rows = 0;
        int number = cursor.tableNumber;
        for (std::size_t t = 0; t < towns.size(); ++t) {
            if (rows >= minRecs) {
                ++number;
                rows = 0;
            }
            numbers[t] = number;
            rows += static_cast<std::int64_t>(towns[t].count);
        }
    }
    std::vector<std::string> tables(towns.size());
    for (std::size_t t = 0; t < towns.size(); ++t)
        tables[t] = numbers[t] == cursor.tableNumber ? cursor.tableName : townTableName(numbers[t]);

    ProgressPacer pacer;
    if (!towns.empty()) {
        if (!insertTowns_.isPrepared()) {
            insertTowns_ = db_.prepare(kInsertTowns);
        }
        TownRows townRows(groups, source, tables);
        towns_.run(insertTowns_, townRows);
    }
    // The towns' ids follow each other: nothing else writes to POSITION meanwhile.
    std::vector<std::int64_t> ids(towns.size());
    const std::int64_t firstId =
        db_.lastInsertRowid() - static_cast<std::int64_t>(towns.size()) + 1;
    for (std::size_t t = 0; t < towns.size(); ++t)
        ids[t] = firstId + static_cast<std::int64_t>(t);

    cursor.tableRows = 0;
    std::size_t t = 0;
    while (t < towns.size() && !progress.stopped()) {
        if (numbers[t] != cursor.tableNumber)
            beginNextTownTable(db_, cursor);
        // The towns that share this table are written together.
        std::size_t end = t;
        std::size_t rows = 0;
        while (end < towns.size() && numbers[end] == numbers[t])
            rows += towns[end++].count;
        Statement& insert = blocksInto(cursor.tableName);
        for (std::size_t done = 0; done < rows && !progress.stopped();) {
            std::size_t n = std::min(kChunkRows, rows - done);
            BlockRows blockRows(groups, ids, t, towns[t].first + done, n);
            blocks_.run(insert, blockRows);
            done += n;
            cursor.tableRows += static_cast<std::int32_t>(n);
            if (pacer.due())
                progress.pulse();
        }
        t = end;
    }
}

}  // namespace mrk2
