#include "data/LaterIndexes.h"

#include "data/Database.h"

namespace mrk2 {

void LaterIndexes::createAll(Database& db, const std::function<void()>& between) {
    std::vector<std::string> sql;
    sql.swap(sql_);
    // One transaction: a commit per index would write the grown catalog each time.
    Transaction tx(db);
    for (const std::string& s : sql) {
        db.exec(s);
        if (between)
            between();
    }
    tx.commit();
}

void createIndexNowOrLater(Database& db, const std::string& sql, LaterIndexes* later) {
    if (later)
        later->add(sql);
    else
        db.exec(sql);
}

}  // namespace mrk2
