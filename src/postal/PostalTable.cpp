#include "postal/PostalTable.h"

#include <string_view>
#include <vector>

#include "app/ErrorReport.h"
#include "app/LineReader.h"
#include "data/Database.h"
#include "postal/PostalLine.h"

namespace mrk2 {

bool createPostTable(Person& person, const std::string& dbPath) {
    try {
        Database db = Database::open(dbPath);
        dropTable(db, "POST");
        db.exec(
            "CREATE TABLE POST ("
            "fldID INTEGER PRIMARY KEY AUTOINCREMENT, "
            "fld郵便番号 TEXT CHECK(fld郵便番号 <> ''), "
            "fldトドウフケン TEXT CHECK(fldトドウフケン <> ''), "
            "fldシクチョウソン TEXT CHECK(fldシクチョウソン <> ''), "
            "fldチメイ TEXT CHECK(fldチメイ <> ''), "
            "fld都道府県 TEXT CHECK(fld都道府県 <> ''), "
            "fld市区町村 TEXT CHECK(fld市区町村 <> ''), "
            "fld地名 TEXT CHECK(fld地名 <> ''))");
        db.exec(
            "CREATE INDEX idxPost ON POST (fldID, fldトドウフケン, fldシクチョウソン, fldチメイ)");
    } catch (const std::exception& e) {
        reportError(person, e, dbPath);
        return false;
    }
    return true;
}

bool loadPostalCsv(AppState& state, Person& person, const std::string& dbPath,
                   const std::string& csvPath) {
    try {
        LineReader reader;
        reader.open(csvPath);
        Database db = Database::open(dbPath);
        // The database is a work copy that is thrown away on any failure.
        db.useFastUnsafePragmas();
        Transaction tx(db);
        Statement insert = db.prepare(
            "INSERT INTO POST (fld郵便番号, fldトドウフケン, fldシクチョウソン, fldチメイ, "
            "fld都道府県, fld市区町村, fld地名) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        std::string line;
        std::vector<std::string_view> fields;
        PostalRow row;
        while (reader.next(line)) {
            mapPostalLine(line, state.intPostalFieldNo, reader.lineNumber(), fields, row);
            insert.bind(1, row.code);
            for (std::size_t i = 0; i < row.names.size(); ++i) {
                int param = static_cast<int>(i) + 2;
                if (row.names[i])
                    insert.bind(param, *row.names[i]);
                else
                    insert.bindNull(param);
            }
            insert.run();
        }
        tx.commit();
    } catch (const std::exception& e) {
        reportError(person, e, csvPath);
        return false;
    }
    return true;
}

}  // namespace mrk2
