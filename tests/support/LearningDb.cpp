#include "support/LearningDb.h"

#include "data/BaseDbInit.h"
#include "data/Database.h"

namespace mrk2::test {

LearningDb::LearningDb() {
    createBaseDatabase(path);
    Database db = Database::open(path);
    db.exec("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES ('東京都', '/d'), ('大阪府', '/d')");
}

std::int64_t LearningDb::add(const std::string& reg, const std::string& tran,
                             std::optional<std::int64_t> dbNo, std::optional<std::int64_t> type,
                             std::int64_t count) {
    Database db = Database::open(path);
    return insertLearningEntry(db, {reg, tran, count, dbNo, type});
}

std::optional<LearningEntry> LearningDb::row(std::int64_t id) {
    Database db = Database::open(path);
    return readLearningEntry(db, id);
}

std::size_t LearningDb::rows() {
    Database db = Database::open(path);
    return selectLearningIds(db, "", std::nullopt).size();
}

}  // namespace mrk2::test
