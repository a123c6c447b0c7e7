#include "postal/PostalTable.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/CsvField.h"
#include "app/Error.h"
#include "app/LineReader.h"
#include "data/Database.h"
#include "data/PostSchema.h"
#include "data/RowFeed.h"

namespace mrk2 {

namespace {

// The common case without a conversion: digits only, leading zeros dropped,
// which is what printing their number gives.
std::optional<std::string> plainDigitsText(std::string_view text) {
    if (text.empty() || text.size() > 15 ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::size_t first = text.find_first_not_of('0');
    return std::string(first == std::string_view::npos ? "0" : text.substr(first));
}

// The postal code as the number it reads as, written back as text: "0600000"
// becomes "600000". Region databases and their readers expect this form.
std::optional<std::string> postalCodeNumberText(std::string_view text) {
    if (auto digits = plainDigitsText(text))
        return digits;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    char buf[64];
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", value);
    else
        std::snprintf(buf, sizeof buf, "%.15g", value);
    return std::string(buf);
}

std::string lineText(std::size_t line) {
    return "(" + std::to_string(line) + " 行目)";
}

// Lines waiting to be written, many to one INSERT: a statement per line would
// cost more than the row it writes. An empty value stands for NULL.
class PendingRows : public RowSource {
  public:
    static constexpr std::size_t kRows = 4096;

    std::array<std::string, 7>& add() { return rows_[count_++]; }
    bool full() const { return count_ == kRows; }

    void writeWith(RowFeed& feed, Statement& insert) {
        if (count_ == 0)
            return;
        next_ = 0;
        feed.run(insert, *this);
        count_ = 0;
    }

    bool next() override { return ++next_ <= count_; }
    void column(sqlite3_context* ctx, int col) override {
        const std::string& v = rows_[next_ - 1][static_cast<std::size_t>(col)];
        if (v.empty())
            sqlite3_result_null(ctx);
        else
            sqlite3_result_text(ctx, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    }

  private:
    std::array<std::array<std::string, 7>, kRows> rows_;
    std::size_t count_ = 0;
    std::size_t next_ = 0;
};

constexpr const char* kPostColumns =
    "fld郵便番号, fldトドウフケン, fldシクチョウソン, fldチメイ, fld都道府県, fld市区町村, fld地名";

}  // namespace

void createPostTable(const std::string& dbPath) {
    inContext(dbPath, [&] {
        Database db = Database::open(dbPath);
        dropTable(db, "POST");
        createPostSchema(db);
    });
}

void loadPostalCsv(const PostalLoad& load, RunProgress& progress) {
    inContext(load.csvPath, [&] {
        LineReader reader;
        reader.open(load.csvPath);
        Database db = Database::open(load.dbPath);
        // The database is a work copy that is thrown away on any failure.
        db.useFastUnsafePragmas();
        Transaction tx(db);
        RowFeed feed(db, "mrk2_postal_lines",
                     {"fld郵便番号", "fldトドウフケン", "fldシクチョウソン", "fldチメイ",
                      "fld都道府県", "fld市区町村", "fld地名"});
        Statement insert = db.prepare(std::string("INSERT INTO POST (") + kPostColumns +
                                      ") SELECT * FROM mrk2_postal_lines");
        auto pending = std::make_unique<PendingRows>();
        std::string line;
        std::vector<std::string_view> fields;
        // Lines before the start line (a header) are passed over, as for position files.
        for (int skip = load.startLine - 1; skip > 0 && reader.next(line); --skip) {
        }
        std::int64_t rows = 0;
        while (reader.next(line)) {
            progress.reading(rows, reader.bytesRead());
            splitCsvLine(line, fields);
            for (int col : load.columns) {
                if (col < 0 || static_cast<std::size_t>(col) >= fields.size())
                    throw Error(FormatError::MissingColumn,
                                "列が足りません。" + lineText(reader.lineNumber()));
            }
            auto field = [&](int entry) {
                return cleanCsvFieldView(fields[static_cast<std::size_t>(
                    load.columns[static_cast<std::size_t>(entry)])]);
            };
            std::optional<std::string> code = postalCodeNumberText(field(0));
            if (!code)
                throw Error(FormatError::NotANumber,
                            "郵便番号が数値ではありません。" + lineText(reader.lineNumber()));
            std::array<std::string, 7>& row = pending->add();
            row[0] = std::move(*code);
            // An empty reading or name is stored as no value.
            for (int entry = 1; entry <= 6; ++entry)
                row[static_cast<std::size_t>(entry)].assign(field(entry));
            if (pending->full())
                pending->writeWith(feed, insert);
            ++rows;
        }
        pending->writeWith(feed, insert);
        progress.fileRead(rows, reader.bytesRead());
        tx.commit();
    });
}

}  // namespace mrk2
