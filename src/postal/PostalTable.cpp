#include "postal/PostalTable.h"

#include <string_view>
#include <vector>

#include "app/Error.h"
#include "app/LineReader.h"
#include "data/Database.h"
#include "data/PostSchema.h"
#include "postal/PostalLine.h"

namespace mrk2 {

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
        PostalRow row;
        while (reader.next(line)) {
            progress.reading(rows, reader.bytesRead());
            mapPostalLine(line, load.columns, reader.lineNumber(), fields, row);
            insert.bind(1, row.code);
            for (std::size_t i = 0; i < row.names.size(); ++i) {
                int param = static_cast<int>(i) + 2;
                if (row.names[i])
                    insert.bind(param, *row.names[i]);
                else
                    insert.bindNull(param);
            }
            insert.run();
            ++rows;
        }
        progress.fileRead(rows, reader.bytesRead());
        tx.commit();
    });
}

}  // namespace mrk2
