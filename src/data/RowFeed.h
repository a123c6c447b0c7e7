#pragma once
#include <string>
#include <vector>

#include "data/ColumnSink.h"
#include "data/Database.h"

namespace mrk2 {

// Rows held in memory, handed to SQLite one after the other.
class RowSource {
  public:
    virtual ~RowSource() = default;
    // Moves to the next row; false when there is none.
    virtual bool next() = 0;
    // Puts column `col` of the current row into `out`; text may be given
    // without a copy, it is read before next() is called again.
    virtual void column(ColumnSink& out, int col) = 0;
};

// A table-valued name for rows in memory: once made, "INSERT INTO t (...)
// SELECT * FROM <name>" writes every row of the RowSource given to run(), in
// its order, with one statement. Each INSERT into a table with an auto-number
// looks its counter up in sqlite_sequence, one row per such table; one
// statement for a whole run of rows pays that once, and the values go to the
// table without being bound one by one.
class RowFeed {
  public:
    // `columns` names the columns of the feed; the feed lives as long as `db`
    // keeps the connection, and only one RowFeed of a name per connection.
    RowFeed(Database& db, const std::string& name, const std::vector<std::string>& columns);
    RowFeed(const RowFeed&) = delete;
    RowFeed& operator=(const RowFeed&) = delete;

    // Runs `insert`, whose SELECT reads this feed, over the rows of `source`.
    void run(Statement& insert, RowSource& source);

    struct Slot {
        RowSource* source = nullptr;
        std::string schema;
    };

  private:
    Slot* slot_;
};

}  // namespace mrk2
