#include "postal/PostalLine.h"

#include "base/CsvField.h"
#include "base/Error.h"

namespace mrk2 {

namespace {

std::string lineText(std::size_t line) {
    return "(" + std::to_string(line) + " 行目)";
}

}  // namespace

std::optional<std::string> postalCodeText(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::size_t first = text.find_first_not_of('0');
    return std::string(first == std::string_view::npos ? "0" : text.substr(first));
}

void mapPostalLine(std::string_view line, const std::array<int, 7>& columns, std::size_t lineNo,
                   std::vector<std::string_view>& fields, PostalRow& row) {
    splitCsvLine(line, fields);
    for (int col : columns) {
        if (col < 0 || static_cast<std::size_t>(col) >= fields.size())
            throw Error(FormatError::MissingColumn, "列が足りません。" + lineText(lineNo));
    }
    auto field = [&](std::size_t entry) {
        return cleanCsvFieldView(fields[static_cast<std::size_t>(columns[entry])]);
    };
    std::optional<std::string> code = postalCodeText(field(0));
    if (!code)
        throw Error(FormatError::NotANumber,
                    "郵便番号が数字だけではありません。" + lineText(lineNo));
    row.code = std::move(*code);
    for (std::size_t entry = 1; entry < columns.size(); ++entry) {
        std::string_view v = field(entry);
        row.names[entry - 1] = v.empty() ? std::nullopt : std::optional<std::string_view>(v);
    }
}

}  // namespace mrk2
