#include "data/LaterIndexes.h"

#include "data/Database.h"

namespace mrk2 {

void LaterIndexes::createAll(Database& db, const std::function<void()>& between) {
    std::vector<std::string> sql;
    sql.swap(sql_);
    // Each index is its own transaction. Creating an index reads the whole
    // catalog; inside one long transaction the cache fills with the dirty pages
    // of the indexes built so far, the catalog's pages are pushed out, and every
    // further index reads them again from the file. Committed one by one, the
    // written pages stay clean and give way first: ten million rows in 6,718
    // tables built their indexes in half the time. The files written here are
    // work files without a journal, thrown away on any failure.
    for (const std::string& s : sql) {
        db.exec(s);
        if (between)
            between();
    }
}

void createIndexNowOrLater(Database& db, const std::string& sql, LaterIndexes* later) {
    if (later)
        later->add(sql);
    else
        db.exec(sql);
}

}  // namespace mrk2
