#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/Database.h"

namespace mrk2 {

// Appends rows to one table many at a time. Every execution of an INSERT into a
// table with an auto-number looks its counter up in sqlite_sequence, which holds
// one row per such table; a region with thousands of per-town tables would pay
// that search for every single row. One statement for many rows pays it once.
//
// Columns come in two groups: constants, bound once for every row, and the
// per-row values, given in column order followed by endRow(). Rows reach the
// table when a batch is full, on flush(), and never otherwise: callers flush
// before they read the table, switch tables or give up.
class BatchInsert {
  public:
    BatchInsert(Database& db, const std::string& table, const std::vector<std::string>& constants,
                const std::vector<std::string>& columns, int batchRows = 100);
    BatchInsert(const BatchInsert&) = delete;
    BatchInsert& operator=(const BatchInsert&) = delete;

    // Constants are numbered from 0 in the order given.
    void setConstant(int index, std::string_view text);
    void setConstant(int index, std::int64_t value);

    void value(std::string_view text);
    void value(std::int64_t number);
    void null();
    void endRow();  // writes the batch when it is full

    void flush();
    std::size_t pendingRows() const { return rows_; }

  private:
    struct Cell {
        enum class Kind { Null, Text, Number } kind = Kind::Null;
        std::string text;
        std::int64_t number = 0;
    };
    Statement prepare(std::size_t rows);
    void bindCells(Statement& st, std::size_t firstCell, std::size_t rows);
    Cell& nextCell();

    Database& db_;
    std::string table_;
    std::vector<std::string> constantNames_;
    std::vector<std::string> columnNames_;
    std::vector<std::string> constantTexts_;  // kept alive for the statements
    std::vector<std::int64_t> constantNumbers_;
    std::vector<bool> constantIsText_;

    std::size_t constants_;
    std::size_t width_;
    std::size_t batchRows_;
    // The values are bound without a copy, since the cells outlive every
    // execution.
    Statement batch_;
    Statement single_;  // for the last, partial batch; made when needed
    std::vector<Cell> cells_;
    std::size_t filled_ = 0;  // cells of the pending rows, the current one included
    std::size_t rows_ = 0;    // complete pending rows
};

}  // namespace mrk2
