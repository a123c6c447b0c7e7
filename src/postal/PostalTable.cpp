#include "postal/PostalTable.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "app/CsvField.h"
#include "app/Error.h"
#include "app/LineReader.h"
#include "data/Database.h"
#include "data/PostSchema.h"

namespace mrk2 {

namespace {

// The postal code as the number it reads as, written back as text: "0600000"
// becomes "600000". Region databases and their readers expect this form.
std::optional<std::string> postalCodeNumberText(std::string_view text) {
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
        Statement insert = db.prepare(
            "INSERT INTO POST (fld郵便番号, fldトドウフケン, fldシクチョウソン, fldチメイ, "
            "fld都道府県, fld市区町村, fld地名) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
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
            insert.bind(1, *code);
            for (int entry = 1; entry <= 6; ++entry) {
                std::string_view v = field(entry);
                // An empty reading or name is stored as no value.
                if (v.empty())
                    insert.bindNull(entry + 1);
                else
                    insert.bind(entry + 1, v);
            }
            insert.run();
            ++rows;
        }
        progress.fileRead(rows, reader.bytesRead());
        tx.commit();
    });
}

}  // namespace mrk2
