#pragma once
#include <string>

#include "base/Outcome.h"
#include "base/Person.h"

namespace mrk2 {

// Writes a new base database at `path` (normally DIR/mrk2.mdb):
//   ＤＢ一覧   (fldID INTEGER PRIMARY KEY AUTOINCREMENT, fldDbName TEXT, fldDbDir TEXT), empty;
//   都道府県名 (fldKanjiName, fldKatakanaName, fldPrefType), the 47 prefectures in JIS order;
//   学習      (fldID INTEGER PRIMARY KEY AUTOINCREMENT, fld登録字句 TEXT, fld変換字句 TEXT,
//              fld参照回数 INTEGER, fldDbNo INTEGER, fldType INTEGER), empty;
//   POST      as the national build makes it (data/PostSchema.h), empty.
// Text columns refuse "" (CHECK(col <> '')). Throws mrk2::Error, and refuses to
// overwrite an existing file.
void createBaseDatabase(const std::string& path);

// The operation behind `init` and the desktop tool's offer of a base database,
// through the writers' starter (OperationStarter.h): creates the directory when
// it is missing and the base database in it. Refused, and told, when one is
// there already: it is never touched.
struct BaseDbCreation {
    std::string dbDir;
};
Outcome initBaseDatabase(const BaseDbCreation& request, Person& person);

}  // namespace mrk2
