#include "import/CsvSourceRows.h"

#include "base/CsvField.h"

namespace mrk2 {

CsvSourceRows::CsvSourceRows(std::unique_ptr<ByteSource> bytes, const CsvColumnMap& columns,
                             int linesBeforeData)
    : columns_(columns) {
    reader_.open(std::move(bytes));
    if (!reader_.next(line_))
        return;
    pending_ = linesBeforeData <= 0;
    for (int skip = linesBeforeData - 1; skip > 0 && reader_.next(line_); --skip) {
    }
}

bool CsvSourceRows::next(PositionRow& row) {
    if (pending_)
        pending_ = false;
    else if (!reader_.next(line_))
        return false;
    mapPositionLine(line_, columns_, reader_.lineNumber(), fields_, row.values);
    row.code.reset();
    if (columns_.codeColumn >= 0 &&
        static_cast<std::size_t>(columns_.codeColumn) < fields_.size()) {
        std::string_view code =
            cleanCsvFieldView(fields_[static_cast<std::size_t>(columns_.codeColumn)]);
        if (!code.empty())
            row.code = code;
    }
    return true;
}

}  // namespace mrk2
