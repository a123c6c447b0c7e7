#include "import/BatchInsert.h"

namespace mrk2 {

namespace {

std::string insertSql(const std::string& table, const std::vector<std::string>& constants,
                      const std::vector<std::string>& columns, std::size_t rows) {
    std::string sql = "INSERT INTO " + quoteIdentifier(table) + " (";
    bool first = true;
    for (const auto* group : {&constants, &columns}) {
        for (const auto& c : *group) {
            if (!first)
                sql += ", ";
            first = false;
            sql += quoteIdentifier(c);
        }
    }
    sql += ") VALUES ";
    for (std::size_t r = 0; r < rows; ++r) {
        sql += r ? ", (" : "(";
        for (std::size_t c = 0; c < constants.size(); ++c) {
            sql += c ? ", ?" : "?";
            sql += std::to_string(c + 1);
        }
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c || !constants.empty())
                sql += ", ";
            // Anonymous parameters take the next number without the parser
            // searching its list of numbered ones, which costs O(n²) per prepare.
            sql += '?';
        }
        sql += ")";
    }
    return sql;
}

}  // namespace

BatchInsert::BatchInsert(Database& db, const std::string& table,
                         const std::vector<std::string>& constants,
                         const std::vector<std::string>& columns, int batchRows)
    : db_(db),
      table_(table),
      constantNames_(constants),
      columnNames_(columns),
      constantTexts_(constants.size()),
      constantNumbers_(constants.size()),
      constantIsText_(constants.size()),
      constants_(constants.size()),
      width_(columns.size()),
      batchRows_(static_cast<std::size_t>(batchRows < 1 ? 1 : batchRows)),
      cells_(width_ * batchRows_) {
    batch_ = prepare(batchRows_);
}

Statement BatchInsert::prepare(std::size_t rows) {
    Statement st = db_.prepare(insertSql(table_, constantNames_, columnNames_, rows));
    for (std::size_t i = 0; i < constants_; ++i) {
        int param = static_cast<int>(i) + 1;
        if (constantIsText_[i])
            st.bindView(param, constantTexts_[i]);
        else
            st.bind(param, constantNumbers_[i]);
    }
    return st;
}

void BatchInsert::setConstant(int index, std::string_view text) {
    auto i = static_cast<std::size_t>(index);
    constantTexts_[i].assign(text.data(), text.size());
    constantIsText_[i] = true;
    for (Statement* st : {&batch_, &single_}) {
        if (st->isPrepared())
            st->bindView(index + 1, constantTexts_[i]);
    }
}

void BatchInsert::setConstant(int index, std::int64_t value) {
    auto i = static_cast<std::size_t>(index);
    constantNumbers_[i] = value;
    constantIsText_[i] = false;
    for (Statement* st : {&batch_, &single_}) {
        if (st->isPrepared())
            st->bind(index + 1, value);
    }
}

BatchInsert::Cell& BatchInsert::nextCell() {
    return cells_[filled_++];
}

void BatchInsert::value(std::string_view text) {
    Cell& c = nextCell();
    c.kind = Cell::Kind::Text;
    c.text.assign(text.data(), text.size());
}

void BatchInsert::value(std::int64_t number) {
    Cell& c = nextCell();
    c.kind = Cell::Kind::Number;
    c.number = number;
}

void BatchInsert::null() {
    nextCell().kind = Cell::Kind::Null;
}

void BatchInsert::endRow() {
    ++rows_;
    filled_ = rows_ * width_;
    if (rows_ == batchRows_)
        flush();
}

void BatchInsert::bindCells(Statement& st, std::size_t firstCell, std::size_t rows) {
    int param = static_cast<int>(constants_) + 1;
    for (std::size_t i = firstCell; i < firstCell + rows * width_; ++i, ++param) {
        const Cell& c = cells_[i];
        switch (c.kind) {
            case Cell::Kind::Null:
                st.bindNull(param);
                break;
            case Cell::Kind::Text:
                st.bindView(param, c.text);
                break;
            case Cell::Kind::Number:
                st.bind(param, c.number);
                break;
        }
    }
}

void BatchInsert::flush() {
    std::size_t rows = rows_;
    rows_ = 0;
    filled_ = 0;
    if (rows == batchRows_) {
        bindCells(batch_, 0, rows);
        batch_.run();
        return;
    }
    if (rows > 0 && !single_.isPrepared())
        single_ = prepare(1);
    for (std::size_t r = 0; r < rows; ++r) {
        bindCells(single_, r * width_, 1);
        single_.run();
    }
}

}  // namespace mrk2
