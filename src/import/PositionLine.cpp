#include "import/PositionLine.h"

#include <algorithm>
#include <string>

#include "base/CsvField.h"
#include "base/Error.h"
#include "import/PositionValueCheck.h"

namespace mrk2 {

LineLayout LineLayout::configured(const std::array<int, kPositionEntries>& columns) {
    LineLayout layout;
    std::copy(columns.begin(), columns.end(), layout.columns.begin());
    layout.needs.fill(Need::Value);
    layout.needs[PositionEntry::Town] = Need::Column;
    layout.needs[PositionEntry::Mesh] = Need::Optional;
    return layout;
}

void mapPositionLine(std::string_view line, const LineLayout& layout, std::size_t lineNo,
                     std::vector<std::string_view>& fields, PositionValues& values) {
    splitCsvLine(line, fields);
    for (std::size_t entry = 0; entry < kPositionEntries; ++entry) {
        const LineLayout::Need need = layout.needs[entry];
        std::optional<std::string_view>& out = values[entry];
        if (need == LineLayout::Need::Absent) {
            out.reset();
            continue;
        }
        int col = layout.columns[entry];
        bool present = col >= 0 && static_cast<std::size_t>(col) < fields.size();
        std::string_view value =
            present ? cleanCsvFieldView(fields[static_cast<std::size_t>(col)]) : "";
        out = value.empty() ? std::nullopt : std::optional<std::string_view>(value);
        if (need == LineLayout::Need::Optional)
            continue;
        if (!present) {
            throw Error(FormatError::MissingColumn, std::to_string(lineNo) + " 行目: 列 " +
                                                        std::to_string(col) + " がありません。");
        }
        if (need == LineLayout::Need::Value && value.empty()) {
            throw Error(FormatError::EmptyValue, std::to_string(lineNo) + " 行目: 列 " +
                                                     std::to_string(col) + " の値が空です。");
        }
    }
    checkPositionValues(values, layout.columns, lineNo);
}

}  // namespace mrk2
