#include "import/CsvSourceRows.h"

#include "base/CsvField.h"
#include "import/SourceSniffer.h"

namespace mrk2 {

CsvSourceRows::CsvSourceRows(std::unique_ptr<ByteSource> bytes,
                             const ConfiguredColumns& configured) {
    reader_.open(std::move(bytes));
    layout_ = CsvColumnMap::configured(configured.columns);
    if (!reader_.next(line_))
        return;
    if (auto known = recognizeHeader(line_)) {
        layout_ = known->layout;
        layoutName_ = known->name;
        return;
    }
    // No header this tool knows: the documented start line decides, and the
    // first line is already the first of those it counts.
    pending_ = configured.startLine <= 1;
    for (int skip = configured.startLine - 2; skip > 0 && reader_.next(line_); --skip) {
    }
}

bool CsvSourceRows::next(PositionRow& row) {
    if (pending_)
        pending_ = false;
    else if (!reader_.next(line_))
        return false;
    mapPositionLine(line_, layout_, reader_.lineNumber(), fields_, row.values);
    row.code.reset();
    if (layout_.codeColumn >= 0 && static_cast<std::size_t>(layout_.codeColumn) < fields_.size()) {
        std::string_view code =
            cleanCsvFieldView(fields_[static_cast<std::size_t>(layout_.codeColumn)]);
        if (!code.empty())
            row.code = code;
    }
    return true;
}

}  // namespace mrk2
