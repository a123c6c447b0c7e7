// Rows in memory written through one INSERT ... SELECT: all of them, in order,
// and a failing row fails the statement without spoiling the next one.
#include "data/RowFeed.h"

#include <gtest/gtest.h>

#include "base/Error.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class Texts : public RowSource {
  public:
    explicit Texts(std::vector<std::string> rows) : rows_(std::move(rows)) {}
    bool next() override { return ++at_ <= rows_.size(); }
    void column(ColumnSink& out, int) override {
        const std::string& v = rows_[at_ - 1];
        if (v == "NULL")
            out.null();
        else
            out.text(v);
    }

  private:
    std::vector<std::string> rows_;
    std::size_t at_ = 0;
};

TEST(RowFeedTest, WritesEveryRowInOrderAndAFailingRowFailsOnlyItsStatement) {
    TempDir d;
    Database db = Database::open(d.file("t.db"), Database::Mode::Create);
    db.exec("CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, v TEXT CHECK(v <> ''))");
    RowFeed feed(db, "rows_in_memory", {"v"});
    Statement insert = db.prepare("INSERT INTO t (v) SELECT * FROM rows_in_memory");

    Texts first({"c", "NULL", "a"});
    feed.run(insert, first);
    Texts bad({"d", ""});
    EXPECT_THROW(feed.run(insert, bad), Error);
    Texts last({"b"});
    feed.run(insert, last);

    Statement st = db.prepare("SELECT id || '=' || coalesce(v, 'NULL') FROM t ORDER BY id");
    std::vector<std::string> got;
    while (st.step())
        got.push_back(st.text(0));
    EXPECT_EQ(got, (std::vector<std::string>{"1=c", "2=NULL", "3=a", "4=b"}));
}

// A number goes as an INTEGER, and textOrNull turns only the empty text into NULL.
class Numbered : public RowSource {
  public:
    bool next() override { return ++at_ <= 2; }
    void column(ColumnSink& out, int col) override {
        if (col == 0)
            out.integer(at_ * 10);
        else
            out.textOrNull(at_ == 1 ? "" : "x");
    }

  private:
    std::int64_t at_ = 0;
};

TEST(RowFeedTest, GivesNumbersAsIntegersAndEmptyTextAsNull) {
    TempDir d;
    Database db = Database::open(d.file("t.db"), Database::Mode::Create);
    db.exec("CREATE TABLE t (n, v)");
    RowFeed feed(db, "numbered", {"n", "v"});
    Statement insert = db.prepare("INSERT INTO t (n, v) SELECT * FROM numbered");
    Numbered rows;
    feed.run(insert, rows);

    Statement st = db.prepare("SELECT typeof(n) || n || typeof(v) FROM t ORDER BY rowid");
    std::vector<std::string> got;
    while (st.step())
        got.push_back(st.text(0));
    EXPECT_EQ(got, (std::vector<std::string>{"integer10null", "integer20text"}));
}

}  // namespace
}  // namespace mrk2::test
