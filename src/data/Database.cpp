#include "data/Database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <utility>

#include "base/Error.h"
#include "base/FaultPoint.h"
#include "data/SqliteError.h"

namespace mrk2 {

namespace {

Error lastError(sqlite3* db, int rc) {
    return sqliteError(sqlite3_extended_errcode(db) ? sqlite3_extended_errcode(db) : rc,
                       db ? sqlite3_errmsg(db) : "");
}

}  // namespace

Database Database::open(const std::string& path, Mode mode) {
    // A read-only connection cannot roll back a hot journal that a killed writer
    // left, and would fail with "attempt to write a readonly database" until a
    // writer came: let a read-write one roll it back first (harmless when the
    // journal belongs to a live writer, whose lock keeps it from being touched).
    if (mode == Mode::ReadOnly && ::access((path + "-journal").c_str(), F_OK) == 0) {
        try {
            open(path, Mode::ReadWrite);
        } catch (const Error&) {
            // No write access or busy: the read-only open below says what is wrong.
        }
    }
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
        case Mode::ReadWrite:
            flags |= SQLITE_OPEN_READWRITE;
            break;
        case Mode::ReadOnly:
            flags |= SQLITE_OPEN_READONLY;
            break;
        case Mode::Create:
            flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
            break;
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        Error e = sqliteError(rc, db ? sqlite3_errmsg(db) : "");
        sqlite3_close_v2(db);
        throw e;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    Database d;
    d.db_ = db;
    d.path_ = path;
    // A file that is not a database is refused here rather than at first use.
    try {
        d.exec("SELECT count(*) FROM sqlite_schema");
    } catch (...) {
        d.close();
        throw;
    }
    return d;
}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

Database::~Database() {
    close();
}

void Database::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::exec(const std::string& sql) {
    char* msg = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg);
    if (rc != SQLITE_OK) {
        std::string detail = msg ? msg : "";
        sqlite3_free(msg);
        throw sqliteError(sqlite3_extended_errcode(db_), detail);
    }
}

Statement Database::prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw lastError(db_, rc);
    return Statement(db_, stmt);
}

std::int64_t Database::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_);
}

int Database::changes() const {
    return sqlite3_changes(db_);
}

bool Database::tableExists(const std::string& name) {
    Statement st = prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    st.bind(1, name);
    return st.step();
}

void Database::useFastUnsafePragmas() {
    exec("PRAGMA journal_mode = OFF");
    exec("PRAGMA synchronous = OFF");
    exec("PRAGMA temp_store = FILE");
    exec("PRAGMA cache_size = -32768");
}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::check(int rc) const {
    if (rc != SQLITE_OK)
        throw lastError(db_, rc);
}

Statement& Statement::bind(int index, std::string_view text) {
    check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindView(int index, std::string_view text) {
    check(
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC));
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    check(sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, const std::optional<std::string>& text) {
    return text ? bind(index, std::string_view(*text)) : bindNull(index);
}

Statement& Statement::bindNull(int index) {
    check(sqlite3_bind_null(stmt_, index));
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    Error e = lastError(db_, rc);
    sqlite3_reset(stmt_);
    throw e;
}

void Statement::run() {
    while (step()) {
    }
    sqlite3_reset(stmt_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

bool Statement::isNull(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

std::string Statement::text(int col) const {
    return std::string(view(col));
}

std::string_view Statement::view(int col) const {
    const unsigned char* p = sqlite3_column_text(stmt_, col);
    if (!p)
        return {};
    return {reinterpret_cast<const char*>(p),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))};
}

std::string_view Statement::blob(int col) const {
    const void* p = sqlite3_column_blob(stmt_, col);
    if (!p)
        return {};
    return {static_cast<const char*>(p),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))};
}

std::optional<std::string> Statement::optionalText(int col) const {
    if (isNull(col))
        return std::nullopt;
    return text(col);
}

std::int64_t Statement::int64(int col) const {
    return sqlite3_column_int64(stmt_, col);
}

std::optional<std::int64_t> Statement::optionalInt64(int col) const {
    if (isNull(col))
        return std::nullopt;
    return int64(col);
}

Transaction::Transaction(Database& db, Lock lock) : db_(db) {
    db_.exec(lock == Lock::Exclusive ? "BEGIN EXCLUSIVE" : "BEGIN");
}

Transaction::~Transaction() {
    // Left without a commit, by an exception on its way: a failed rollback
    // cannot be told from here, and the connection's next statement meets it.
    if (active_)
        sqlite3_exec(db_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commitAfterFault() noexcept {
    if (active_)
        sqlite3_exec(db_.db_, "COMMIT", nullptr, nullptr, nullptr);
    active_ = false;
}

void Transaction::commit() {
    faultPoint();
    db_.exec("COMMIT");
    active_ = false;
}

std::string quoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string columnList(std::initializer_list<std::string_view> names) {
    return columnList<std::initializer_list<std::string_view>>(names);
}

std::string tableNameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

void dropTable(Database& db, const std::string& name) {
    try {
        db.exec("DROP TABLE " + quoteIdentifier(name));
    } catch (const Error&) {
        // A missing table, or any other failure, is not the caller's concern.
    }
}

}  // namespace mrk2
