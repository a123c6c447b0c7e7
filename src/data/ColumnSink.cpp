#include "data/ColumnSink.h"

#include <sqlite3.h>

namespace mrk2 {

namespace {

sqlite3_context* contextOf(void* context) {
    return static_cast<sqlite3_context*>(context);
}

}  // namespace

void ColumnSink::text(std::string_view value) {
    sqlite3_result_text(contextOf(context_), value.data(), static_cast<int>(value.size()),
                        SQLITE_STATIC);
}

void ColumnSink::textOrNull(std::string_view value) {
    if (value.empty())
        null();
    else
        text(value);
}

void ColumnSink::integer(std::int64_t value) {
    sqlite3_result_int64(contextOf(context_), value);
}

void ColumnSink::null() {
    sqlite3_result_null(contextOf(context_));
}

}  // namespace mrk2
