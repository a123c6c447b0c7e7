#include "postal/PostalTable.h"

#include <memory>
#include <string_view>
#include <vector>

#include "base/Cp932.h"
#include "base/Error.h"
#include "base/KanaWidth.h"
#include "base/LineReader.h"
#include "data/Database.h"
#include "data/PostSchema.h"
#include "data/RowFeed.h"
#include "data/SchemaNames.h"
#include "postal/PostalLine.h"

namespace mrk2 {

namespace {

// Lines waiting to be written, many to one INSERT: a statement per line would
// cost more than the row it writes. The postal code and the six names, copied
// out of their line; an empty one stands for NULL (a stored name is never "").
class PendingRows : public RowSource {
  public:
    static constexpr std::size_t kRows = 4096;

    void add(const PostalRow& row) {
        std::array<std::string, 7>& out = rows_[count_++];
        out[0] = row.code;
        for (std::size_t i = 0; i < row.names.size(); ++i)
            out[i + 1].assign(row.names[i].value_or(std::string_view()));
    }
    bool full() const { return count_ == kRows; }

    void writeWith(RowFeed& feed, Statement& insert) {
        if (count_ == 0)
            return;
        next_ = 0;
        feed.run(insert, *this);
        count_ = 0;
    }

    bool next() override { return ++next_ <= count_; }
    void column(ColumnSink& out, int col) override {
        out.textOrNull(rows_[next_ - 1][static_cast<std::size_t>(col)]);
    }

  private:
    std::array<std::array<std::string, 7>, kRows> rows_;
    std::size_t count_ = 0;
    std::size_t next_ = 0;
};

// The three readings (トドウフケン, シクチョウソン, チメイ) in half-width kana: the
// UTF-8 form writes them full-width. `kept` holds the converted texts.
void narrowKana(PostalRow& row, std::array<std::string, 3>& kept) {
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (row.names[i] && !isAscii(*row.names[i])) {
            kept[i] = halfWidthKana(*row.names[i]);
            row.names[i] = kept[i];
        }
    }
}

const std::vector<std::string> kPostColumns(fields::kPostRow.begin(), fields::kPostRow.end());
const std::string kInsertLines = "INSERT INTO " + quoteIdentifier(tables::kPost) + " (" +
                                 columnList(kPostColumns) + ") SELECT * FROM mrk2_postal_lines";

void readPostalLines(const PostalLoad& load, SourceReader& sources, RunProgress& progress) {
    inContext(load.csv.path(), [&] {
        LineReader reader;
        reader.open(sources.open(load.csv));
        Database db = Database::open(load.dbPath);
        // The database is a work copy that is thrown away on any failure.
        db.useFastUnsafePragmas();
        Transaction tx(db);
        RowFeed feed(db, "mrk2_postal_lines", kPostColumns);
        Statement insert = db.prepare(kInsertLines);
        auto pending = std::make_unique<PendingRows>();
        std::string line;
        std::vector<std::string_view> fields;
        // Lines before the start line (a header) are passed over, as for position files.
        for (int skip = load.startLine - 1; skip > 0 && reader.next(line); --skip) {
        }
        std::int64_t rows = 0;
        PostalRow row;
        std::array<std::string, 3> kana;
        while (reader.next(line)) {
            progress.reading(rows, reader.bytesRead());
            mapPostalLine(line, load.columns, reader.lineNumber(), fields, row);
            narrowKana(row, kana);
            pending->add(row);
            if (pending->full())
                pending->writeWith(feed, insert);
            ++rows;
        }
        pending->writeWith(feed, insert);
        progress.fileRead(rows, reader.bytesRead());
        tx.commit();
    });
}

}  // namespace

void createPostTable(const std::string& dbPath, LaterIndexes* later) {
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        dropTable(db, tables::kPost);
        createPostSchema(db, later);
    });
}

void loadPostalCsv(const PostalLoad& load, SourceReader& sources, RunProgress& progress) {
    try {
        readPostalLines(load, sources, progress);
    } catch (const Error& e) {
        throw sources.damageFirst({load.csv}, e);
    }
}

}  // namespace mrk2
