#include "import/PositionLine.h"

#include <string>

#include "app/CsvField.h"
#include "app/Error.h"

namespace mrk2 {

const PositionValues& PositionLineParser::parse(std::string_view line, std::size_t lineNo) {
    splitCsvLine(line, fields_);
    for (int entry = 0; entry < kPositionEntries; ++entry) {
        int col = columns_[static_cast<std::size_t>(entry)];
        bool present = col >= 0 && static_cast<std::size_t>(col) < fields_.size();
        std::string_view value =
            present ? cleanCsvFieldView(fields_[static_cast<std::size_t>(col)]) : "";
        values_[static_cast<std::size_t>(entry)] = value;
        // The mesh code may be missing from the line or empty: NULL, never "".
        if (entry == Mesh)
            continue;
        if (!present) {
            throw Error(FormatError::MissingColumn, std::to_string(lineNo) + " 行目: 列 " +
                                                        std::to_string(col) + " がありません。");
        }
        // The town column must be there, but may be empty: a town without a name
        // is stored as NULL.
        if (entry == Town)
            continue;
        if (value.empty()) {
            throw Error(FormatError::EmptyValue, std::to_string(lineNo) + " 行目: 列 " +
                                                     std::to_string(col) + " の値が空です。");
        }
    }
    return values_;
}

}  // namespace mrk2
