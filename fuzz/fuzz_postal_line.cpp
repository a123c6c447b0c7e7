// The seven-column mapping of a national postal line, with the postal code rule.
//
// Input: one control byte that picks the column list, then lines. Control byte
// modulo 3: 0 the default 2..8, 1 the first seven columns, 2 seven more bytes
// taken as signed column numbers.
#include <array>
#include <cstdint>

#include "FuzzCheck.h"
#include "base/CsvField.h"
#include "base/Error.h"
#include "postal/PostalLine.h"

using namespace mrk2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::array<int, 7> columns{};
    if (!mrk2::fuzz::chooseColumns<7>(data[0], input,
                                      {{2, 3, 4, 5, 6, 7, 8}, {0, 1, 2, 3, 4, 5, 6}}, columns))
        return 0;

    std::vector<std::string_view> fields, check;
    PostalRow row;
    std::size_t lineNo = 0;
    for (const mrk2::fuzz::RawLine& raw : mrk2::fuzz::splitLines(input)) {
        ++lineNo;
        splitCsvLine(raw.text, check);
        auto field = [&](std::size_t entry) {
            return cleanCsvFieldView(check[static_cast<std::size_t>(columns[entry])]);
        };
        int expected = 0;
        for (int col : columns) {
            if (col < 0 || static_cast<std::size_t>(col) >= check.size())
                expected = FormatError::MissingColumn;
        }
        if (expected == 0 && (field(0).empty() ||
                              field(0).find_first_not_of("0123456789") != std::string_view::npos))
            expected = FormatError::NotANumber;
        try {
            mapPostalLine(raw.text, columns, lineNo, fields, row);
        } catch (const Error& e) {
            FUZZ_CHECK(e.number() == expected);
            FUZZ_CHECK(e.description().find("(" + std::to_string(lineNo) + " 行目)") !=
                       std::string::npos);
            continue;
        }
        FUZZ_CHECK(expected == 0);
        // Digits without leading zeros, and the same number as written.
        std::string_view digits = field(0);
        digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
        FUZZ_CHECK(row.code == digits);
        for (std::size_t entry = 1; entry < columns.size(); ++entry) {
            const auto& name = row.names[entry - 1];
            FUZZ_CHECK(name ? (!name->empty() && *name == field(entry)) : field(entry).empty());
        }
    }
    return 0;
}
