#include "data/TableCopy.h"

#include <cstdint>
#include <set>
#include <vector>

#include "base/Error.h"
#include "data/Database.h"
#include "data/LaterIndexes.h"
#include "data/WorkFiles.h"

namespace mrk2 {

namespace {

struct SchemaEntry {
    std::string type;
    std::string name;
    std::string table;
    std::string sql;  // "" for the indexes SQLite makes for constraints
};

std::int64_t pragmaNumber(Database& db, const std::string& pragma) {
    Statement st = db.prepare("PRAGMA " + pragma);
    return st.step() ? st.int64(0) : 0;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The statement that copies a table's rows with their row ids: a table without
// an INTEGER PRIMARY KEY would otherwise number its rows anew.
std::string copyRowsSql(Database& db, const std::string& table) {
    const std::string from = "old." + quoteIdentifier(table);
    const std::string into = "main." + quoteIdentifier(table);
    std::vector<std::string> columns;
    std::set<std::string> taken;
    {
        Statement info = db.prepare("PRAGMA old.table_info(" + quoteIdentifier(table) + ")");
        while (info.step()) {
            columns.push_back(quoteIdentifier(info.text(1)));
            taken.insert(tableNameKey(info.text(1)));
        }
    }
    for (const char* alias : {"rowid", "oid", "_rowid_"}) {
        if (taken.count(alias))
            continue;
        try {
            // A table WITHOUT ROWID has none to keep.
            db.prepare(std::string("SELECT ") + alias + " FROM " + from + " LIMIT 0");
        } catch (const Error&) {
            break;
        }
        std::string list = alias;
        for (const std::string& c : columns)
            list += ", " + c;
        return "INSERT INTO " + into + " (" + list + ") SELECT " + list + " FROM " + from +
               " ORDER BY " + alias;
    }
    return "INSERT INTO " + into + " SELECT * FROM " + from;
}

}  // namespace

bool copyTablesToNewDatabase(const std::string& source, const std::string& target,
                             const std::function<bool(const std::string&)>& keep,
                             LaterIndexes* later) {
    std::vector<SchemaEntry> entries;
    std::int64_t pageSize, applicationId, userVersion;
    {
        Database src = Database::open(source, Database::Mode::ReadOnly);
        Statement st = src.prepare(
            "SELECT type, name, tbl_name, sql, rootpage FROM sqlite_schema ORDER BY rowid");
        while (st.step()) {
            SchemaEntry e{st.text(0), st.text(1), st.text(2), st.text(3)};
            bool plain = e.type == "index" || (e.type == "table" && st.int64(4) > 0 &&
                                               !startsWith(e.name, "sqlite_stat"));
            if (!plain)
                return false;
            entries.push_back(std::move(e));
        }
        pageSize = pragmaNumber(src, "page_size");
        applicationId = pragmaNumber(src, "application_id");
        userVersion = pragmaNumber(src, "user_version");
    }

    std::set<std::string> kept;
    for (const SchemaEntry& e : entries) {
        if (e.type == "table" && e.name != "sqlite_sequence" && keep(e.name))
            kept.insert(e.name);
    }

    removeDatabaseFiles(target);
    Database db = Database::open(target, Database::Mode::Create);
    // The file is new and is synced as a whole before it is used.
    db.exec("PRAGMA journal_mode = OFF");
    db.exec("PRAGMA synchronous = OFF");
    // Before the first write, while the page size can still be chosen.
    db.exec("PRAGMA page_size = " + std::to_string(pageSize));
    db.exec("PRAGMA application_id = " + std::to_string(applicationId));
    db.exec("PRAGMA user_version = " + std::to_string(userVersion));
    Statement attach = db.prepare("ATTACH DATABASE ?1 AS old");
    attach.bind(1, source);
    attach.run();
    {
        Transaction tx(db);
        bool sequences = false;
        for (const SchemaEntry& e : entries) {
            if (e.type != "table")
                continue;
            if (e.name == "sqlite_sequence") {
                sequences = true;
                continue;
            }
            if (!kept.count(e.name))
                continue;
            db.exec(e.sql);
            db.exec(copyRowsSql(db, e.name));
        }
        for (const SchemaEntry& e : entries) {
            if (e.type == "index" && !e.sql.empty() && kept.count(e.table))
                createIndexNowOrLater(db, e.sql, later);
        }
        // The counters of the tables kept, as they stood and in their order: the
        // copying itself has set them to the highest id, which may be lower.
        if (sequences && db.tableExists("sqlite_sequence")) {
            db.exec("DELETE FROM main.sqlite_sequence");
            Statement insert =
                db.prepare("INSERT INTO main.sqlite_sequence (name, seq) VALUES (?1, ?2)");
            Statement counters =
                db.prepare("SELECT name, seq FROM old.sqlite_sequence ORDER BY rowid");
            while (counters.step()) {
                if (!kept.count(counters.text(0)))
                    continue;
                insert.bind(1, counters.text(0));
                if (counters.isNull(1))
                    insert.bindNull(2);
                else
                    insert.bind(2, counters.int64(1));
                insert.run();
            }
        }
        tx.commit();
    }
    db.exec("DETACH DATABASE old");
    db.close();
    return true;
}

}  // namespace mrk2
