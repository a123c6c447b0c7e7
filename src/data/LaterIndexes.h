#pragma once
#include <functional>
#include <string>
#include <vector>

namespace mrk2 {

class Database;

// Index definitions held back until every table of a new database file has its
// rows: a run that builds a file from nothing creates all its indexes at its end,
// in the order it would have made them. That is the order VACUUM gives a
// database (all tables, then all indexes), so the finished file needs no VACUUM
// to come out as a compacted copy would, and each index is built once from
// rows in place instead of growing row by row.
class LaterIndexes {
  public:
    void add(std::string sql) { sql_.push_back(std::move(sql)); }
    bool empty() const { return sql_.empty(); }
    // Creates them in the order they were added, and forgets them; `between`
    // runs after each (a run lets the window system in there).
    void createAll(Database& db, const std::function<void()>& between = {});

  private:
    std::vector<std::string> sql_;
};

// Runs `sql`, a CREATE INDEX, now, or keeps it in `later` when one is given.
void createIndexNowOrLater(Database& db, const std::string& sql, LaterIndexes* later);

}  // namespace mrk2
