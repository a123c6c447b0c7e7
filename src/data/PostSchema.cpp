#include "data/PostSchema.h"

#include "data/Database.h"
#include "data/LaterIndexes.h"
#include "data/SchemaNames.h"

namespace mrk2 {

void createPostSchema(Database& db, LaterIndexes* later) {
    const std::string post = quoteIdentifier(tables::kPost);
    std::string sql = "CREATE TABLE " + post + " (" + quoteIdentifier(fields::kId) +
                      " INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const char* name : fields::kPostRow) {
        const std::string q = quoteIdentifier(name);
        sql += ", " + q + " TEXT CHECK(" + q + " <> '')";
    }
    db.exec(sql + ")");
    createIndexNowOrLater(db,
                          "CREATE INDEX idxPost ON " + post + " (" +
                              columnList({fields::kId, fields::kPrefKana, fields::kMunicipalityKana,
                                          fields::kPlaceKana}) +
                              ")",
                          later);
}

}  // namespace mrk2
