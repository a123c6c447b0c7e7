#include "data/PostSchema.h"

#include "data/Database.h"
#include "data/LaterIndexes.h"

namespace mrk2 {

void createPostSchema(Database& db, LaterIndexes* later) {
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
    createIndexNowOrLater(
        db, "CREATE INDEX idxPost ON POST (fldID, fldトドウフケン, fldシクチョウソン, fldチメイ)",
        later);
}

}  // namespace mrk2
