#include "import/PositionLine.h"

#include <string>

#include "app/CsvField.h"
#include "app/Error.h"
#include "import/PositionValueCheck.h"

namespace mrk2 {

void mapPositionLine(std::string_view line, const std::array<int, kPositionEntries>& columns,
                     std::size_t lineNo, std::vector<std::string_view>& fields,
                     PositionValues& values) {
    splitCsvLine(line, fields);
    for (int entry = 0; entry < kPositionEntries; ++entry) {
        int col = columns[static_cast<std::size_t>(entry)];
        bool present = col >= 0 && static_cast<std::size_t>(col) < fields.size();
        std::string_view value =
            present ? cleanCsvFieldView(fields[static_cast<std::size_t>(col)]) : "";
        std::optional<std::string_view>& out = values[static_cast<std::size_t>(entry)];
        out = value.empty() ? std::nullopt : std::optional<std::string_view>(value);
        if (entry == Mesh)
            continue;  // the mesh code may be missing from the line or empty
        if (!present) {
            throw Error(FormatError::MissingColumn, std::to_string(lineNo) + " 行目: 列 " +
                                                        std::to_string(col) + " がありません。");
        }
        // The town column must be there, but may be empty: a town without a name
        // is stored as NULL.
        if (entry != Town && value.empty()) {
            throw Error(FormatError::EmptyValue, std::to_string(lineNo) + " 行目: 列 " +
                                                     std::to_string(col) + " の値が空です。");
        }
    }
    checkPositionValues(values, columns, lineNo);
}

}  // namespace mrk2
