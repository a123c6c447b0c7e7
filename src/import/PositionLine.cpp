#include "import/PositionLine.h"

#include <algorithm>
#include <string>

#include "base/CsvField.h"
#include "base/Error.h"
#include "import/PositionValueCheck.h"

namespace mrk2 {

CsvColumnMap CsvColumnMap::configured(const std::array<int, kPositionEntries>& columns) {
    CsvColumnMap map;
    std::copy(columns.begin(), columns.end(), map.columns.begin());
    map.needs.fill(Need::Value);
    map.needs[PositionEntry::Town] = Need::Column;
    map.needs[PositionEntry::Mesh] = Need::Optional;
    return map;
}

void mapPositionLine(std::string_view line, const CsvColumnMap& map, std::size_t lineNo,
                     std::vector<std::string_view>& fields, PositionValues& values) {
    splitCsvLine(line, fields);
    for (std::size_t entry = 0; entry < kPositionEntries; ++entry) {
        const CsvColumnMap::Need need = map.needs[entry];
        std::optional<std::string_view>& out = values[entry];
        if (need == CsvColumnMap::Need::Absent) {
            out.reset();
            continue;
        }
        int col = map.columns[entry];
        bool present = col >= 0 && static_cast<std::size_t>(col) < fields.size();
        std::string_view value =
            present ? cleanCsvFieldView(fields[static_cast<std::size_t>(col)]) : "";
        out = value.empty() ? std::nullopt : std::optional<std::string_view>(value);
        if (need == CsvColumnMap::Need::Optional)
            continue;
        if (!present) {
            throw Error(FormatError::MissingColumn, std::to_string(lineNo) + " 行目: 列 " +
                                                        std::to_string(col) + " がありません。");
        }
        if (need == CsvColumnMap::Need::Value && value.empty()) {
            throw Error(FormatError::EmptyValue, std::to_string(lineNo) + " 行目: 列 " +
                                                     std::to_string(col) + " の値が空です。");
        }
    }
    checkPositionValues(values, map.columns, lineNo);
}

}  // namespace mrk2
