#include "data/RowFeed.h"

#include <sqlite3.h>

#include <cstring>

#include "data/SqliteError.h"

namespace mrk2 {

// The one maker of sinks: a sink is the SQLite call's context, kept opaque.
struct ColumnSinkOf {
    static ColumnSink context(sqlite3_context* ctx) { return ColumnSink(ctx); }
};

namespace {

struct FeedTable {
    sqlite3_vtab base;
    RowFeed::Slot* slot;
};

struct FeedCursor {
    sqlite3_vtab_cursor base;
    RowSource* source;
    sqlite3_int64 rowid;
    bool eof;
};

int feedConnect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char**) {
    auto* slot = static_cast<RowFeed::Slot*>(aux);
    int rc = sqlite3_declare_vtab(db, slot->schema.c_str());
    if (rc != SQLITE_OK)
        return rc;
    auto* table = static_cast<FeedTable*>(sqlite3_malloc(sizeof(FeedTable)));
    if (!table)
        return SQLITE_NOMEM;
    std::memset(table, 0, sizeof *table);
    table->slot = slot;
    *out = &table->base;
    return SQLITE_OK;
}

int feedDisconnect(sqlite3_vtab* vtab) {
    sqlite3_free(vtab);
    return SQLITE_OK;
}

int feedBestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
    // Only ever read whole, in the source's order.
    info->estimatedCost = 1e6;
    info->estimatedRows = 1000000;
    return SQLITE_OK;
}

int feedOpen(sqlite3_vtab* vtab, sqlite3_vtab_cursor** out) {
    auto* cursor = static_cast<FeedCursor*>(sqlite3_malloc(sizeof(FeedCursor)));
    if (!cursor)
        return SQLITE_NOMEM;
    std::memset(cursor, 0, sizeof *cursor);
    cursor->source = reinterpret_cast<FeedTable*>(vtab)->slot->source;
    cursor->eof = true;
    *out = &cursor->base;
    return SQLITE_OK;
}

int feedClose(sqlite3_vtab_cursor* cur) {
    sqlite3_free(cur);
    return SQLITE_OK;
}

int feedNext(sqlite3_vtab_cursor* cur) {
    auto* c = reinterpret_cast<FeedCursor*>(cur);
    c->eof = !c->source || !c->source->next();
    ++c->rowid;
    return SQLITE_OK;
}

int feedFilter(sqlite3_vtab_cursor* cur, int, const char*, int, sqlite3_value**) {
    auto* c = reinterpret_cast<FeedCursor*>(cur);
    c->source = reinterpret_cast<FeedTable*>(cur->pVtab)->slot->source;
    c->rowid = 0;
    return feedNext(cur);
}

int feedEof(sqlite3_vtab_cursor* cur) {
    return reinterpret_cast<FeedCursor*>(cur)->eof ? 1 : 0;
}

int feedColumn(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int col) {
    ColumnSink out = ColumnSinkOf::context(ctx);
    reinterpret_cast<FeedCursor*>(cur)->source->column(out, col);
    return SQLITE_OK;
}

int feedRowid(sqlite3_vtab_cursor* cur, sqlite3_int64* rowid) {
    *rowid = reinterpret_cast<FeedCursor*>(cur)->rowid;
    return SQLITE_OK;
}

sqlite3_module feedModule() {
    sqlite3_module m{};
    m.xConnect = feedConnect;
    m.xBestIndex = feedBestIndex;
    m.xDisconnect = feedDisconnect;
    m.xOpen = feedOpen;
    m.xClose = feedClose;
    m.xFilter = feedFilter;
    m.xNext = feedNext;
    m.xEof = feedEof;
    m.xColumn = feedColumn;
    m.xRowid = feedRowid;
    return m;
}

// Eponymous only (no xCreate): the name is usable without CREATE VIRTUAL TABLE
// and leaves no trace in the database file.
const sqlite3_module kFeedModule = feedModule();

void destroySlot(void* aux) {
    delete static_cast<RowFeed::Slot*>(aux);
}

}  // namespace

RowFeed::RowFeed(Database& db, const std::string& name, const std::vector<std::string>& columns)
    : slot_(new Slot) {
    slot_->schema = "CREATE TABLE x(";
    for (std::size_t i = 0; i < columns.size(); ++i)
        slot_->schema += (i ? ", " : "") + quoteIdentifier(columns[i]);
    slot_->schema += ")";
    // The connection owns the slot from here, and frees it when it closes.
    int rc = sqlite3_create_module_v2(db.db_, name.c_str(), &kFeedModule, slot_, destroySlot);
    if (rc != SQLITE_OK)
        throw sqliteError(rc, sqlite3_errmsg(db.db_));
}

void RowFeed::run(Statement& insert, RowSource& source) {
    slot_->source = &source;
    try {
        insert.run();
    } catch (...) {
        slot_->source = nullptr;
        throw;
    }
    slot_->source = nullptr;
}

}  // namespace mrk2
