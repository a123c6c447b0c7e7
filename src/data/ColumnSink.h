#pragma once
#include <cstdint>
#include <string_view>

namespace mrk2 {

// Where a RowSource puts one value of its current row, for RowFeed. Text is
// not copied: it must stay as it is until the source's next() is called again.
// SQLite stays behind this: the layers above give values, not result calls.
class ColumnSink {
  public:
    void text(std::string_view value);
    // An empty text goes as NULL: a stored text is never "".
    void textOrNull(std::string_view value);
    void integer(std::int64_t value);
    void null();

  private:
    friend struct ColumnSinkOf;
    explicit ColumnSink(void* context) : context_(context) {}
    void* context_;
};

}  // namespace mrk2
