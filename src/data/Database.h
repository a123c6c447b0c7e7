#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace mrk2 {

class Statement;

// One open SQLite database file. Every failure throws mrk2::Error carrying the
// SQLite result code. Region and base databases keep the .mdb file names of the
// tool; the content is SQLite.
class Database {
  public:
    enum class Mode {
        ReadWrite,  // the file must exist
        ReadOnly,   // the file must exist
        Create      // creates the file when it is missing
    };

    static Database open(const std::string& path, Mode mode = Mode::ReadWrite);

    Database() = default;
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    bool isOpen() const { return db_ != nullptr; }
    const std::string& path() const { return path_; }

    void exec(const std::string& sql);
    Statement prepare(const std::string& sql);
    std::int64_t lastInsertRowid() const;
    int changes() const;
    bool tableExists(const std::string& name);

    // For work files that are thrown away on any failure: no journal, no syncs.
    void useFastUnsafePragmas();

    void close();

  private:
    friend class RowFeed;      // registers its table with the connection
    friend class Transaction;  // ends itself without throwing
    sqlite3* db_ = nullptr;
    std::string path_;
};

// A prepared statement, reusable: step() to the end, then reset() and bind anew.
class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();
    bool isPrepared() const { return stmt_ != nullptr; }

    // Parameters are numbered from 1.
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    Statement& bind(int index, const std::string& text) {
        return bind(index, std::string_view(text));
    }
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, const std::optional<std::string>& text);  // nullopt binds NULL
    Statement& bindNull(int index);
    // Binds `text` without a copy, for the hot loops that write millions of
    // values: it must stay unchanged until the statement has run or is reset.
    Statement& bindView(int index, std::string_view text);
    // Binds bytes as a BLOB, copied.
    Statement& bindBlob(int index, std::string_view bytes);

    // True while a row is available.
    bool step();
    // Runs a statement that returns no rows, then resets it for the next use.
    void run();
    // Resets and clears the bindings.
    void reset();

    // Columns are numbered from 0.
    int columnCount() const;
    bool isNull(int col) const;
    std::string text(int col) const;  // NULL reads as ""
    // The same without a copy: valid until the next step() or reset().
    std::string_view view(int col) const;
    // A BLOB's bytes without a copy, valid as long as view()'s.
    std::string_view blob(int col) const;
    std::optional<std::string> optionalText(int col) const;
    std::int64_t int64(int col) const;  // NULL reads as 0
    std::optional<std::int64_t> optionalInt64(int col) const;

  private:
    void check(int rc) const;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// Rolls back unless commit() was called.
class Transaction {
  public:
    // Deferred takes its locks as statements need them; Exclusive takes the
    // database for itself at once, waiting (busy timeout) for readers to finish,
    // so that its commit cannot be refused by a reader later.
    enum class Lock { Deferred, Exclusive };
    explicit Transaction(Database& db, Lock lock = Lock::Deferred);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();
    // Keeps what was done after a fault, in a work file that has no journal
    // (where a rollback is undefined in SQLite) and that the run then throws
    // away. Says nothing of its own failure: the fault that led here is the one
    // to tell.
    void commitAfterFault() noexcept;

  private:
    Database& db_;
    bool active_ = true;
};

// "name" with inner quotes doubled, for table and index names in DDL.
std::string quoteIdentifier(std::string_view name);

// Quoted names separated by ", ": the column list of a statement.
std::string columnList(std::initializer_list<std::string_view> names);
template <class Names>
std::string columnList(const Names& names) {
    std::string out;
    for (const auto& name : names)
        out += (out.empty() ? "" : ", ") + quoteIdentifier(name);
    return out;
}

// A table name as SQLite compares names: ASCII letters without regard to case.
std::string tableNameKey(std::string_view name);

// Deletes a table; every error, a missing table included, is ignored.
void dropTable(Database& db, const std::string& name);

}  // namespace mrk2
