// The CSV field rule, the twelve-column mapping of a position line and the
// coordinate check, against the rules written out the plain way.
//
// Input: one control byte that picks the column list, then lines. Control byte
// modulo 4: 0 the default 0..11, 1 MLIT's 14-column block layout, 2 the default
// reversed, 3 twelve more bytes taken as signed column numbers.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>

#include "FuzzCheck.h"
#include "base/CsvField.h"
#include "base/Error.h"
#include "import/PositionLine.h"

using namespace mrk2;
using enum mrk2::PositionEntry;

namespace {

using Columns = std::array<int, kPositionEntries>;

// The field rule as the operators' documents state it: trim blanks, turn one
// quote at each end into a blank, trim again.
std::string referenceClean(std::string s) {
    auto trim = [](std::string& t) {
        t.erase(
            0, t.find_first_not_of(' ') == std::string::npos ? t.size() : t.find_first_not_of(' '));
        t.erase(t.find_last_not_of(' ') + 1);
    };
    trim(s);
    if (!s.empty() && s.front() == '"')
        s.front() = ' ';
    if (!s.empty() && s.back() == '"')
        s.back() = ' ';
    trim(s);
    return s;
}

void checkSplitAndClean(std::string_view line, const std::vector<std::string_view>& fields) {
    std::size_t commas = 0;
    for (char c : line)
        commas += c == ',';
    FUZZ_CHECK(fields.size() == (line.empty() ? 0 : commas + 1));
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        joined += (i ? "," : "") + std::string(fields[i]);
        std::string_view clean = cleanCsvFieldView(fields[i]);
        FUZZ_CHECK(clean == referenceClean(std::string(fields[i])));
        FUZZ_CHECK(clean.empty() ||
                   (clean.data() >= fields[i].data() &&
                    clean.data() + clean.size() <= fields[i].data() + fields[i].size()));
    }
    FUZZ_CHECK(joined == line);
}

// The coordinate rule the plain way: a sign, digits with at most one point, and
// a value within its limit.
int coordinateError(std::string_view value, double limit) {
    static const std::regex decimal("[+-]?[0-9]*[.]?[0-9]*");
    const std::string text(value);
    if (!std::regex_match(text, decimal) || text.find_first_of("0123456789") == std::string::npos)
        return FormatError::NotANumber;
    const double number = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(number))
        return FormatError::NotANumber;
    return std::fabs(number) > limit ? FormatError::OutOfRange : 0;
}

// Which error the first faulty entry must raise; 0 when the line maps.
int expectedError(const std::vector<std::string_view>& fields, const Columns& columns) {
    for (std::size_t entry = 0; entry < kPositionEntries; ++entry) {
        int col = columns[entry];
        bool present = col >= 0 && static_cast<std::size_t>(col) < fields.size();
        if (PositionEntry(entry) == Mesh)
            continue;
        if (!present)
            return FormatError::MissingColumn;
        if (PositionEntry(entry) != Town &&
            cleanCsvFieldView(fields[static_cast<std::size_t>(col)]).empty())
            return FormatError::EmptyValue;
    }
    const std::pair<PositionEntry, double> coordinates[] = {
        {X, 10'000'000.0}, {Y, 10'000'000.0}, {Lat, 90.0}, {Lon, 180.0}};
    for (const auto& [entry, limit] : coordinates) {
        const auto col = static_cast<std::size_t>(columns[static_cast<std::size_t>(entry)]);
        if (int error = coordinateError(cleanCsvFieldView(fields[col]), limit))
            return error;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    Columns columns{};
    if (!mrk2::fuzz::chooseColumns<kPositionEntries>(data[0], input,
                                                     {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
                                                      {0, 1, 2, 4, 5, 6, 7, 8, 9, 99, 10, 11},
                                                      {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
                                                     columns))
        return 0;

    const LineLayout layout = LineLayout::configured(columns);
    std::vector<std::string_view> fields, check;
    PositionValues values;
    std::size_t lineNo = 0;
    for (const mrk2::fuzz::RawLine& raw : mrk2::fuzz::splitLines(input)) {
        ++lineNo;
        splitCsvLine(raw.text, check);
        checkSplitAndClean(raw.text, check);
        int expected = expectedError(check, columns);
        try {
            mapPositionLine(raw.text, layout, lineNo, fields, values);
        } catch (const Error& e) {
            FUZZ_CHECK(e.number() == expected);
            FUZZ_CHECK(mrk2::fuzz::startsWith(e.description(), std::to_string(lineNo) + " 行目"));
            continue;
        }
        FUZZ_CHECK(expected == 0);
        for (std::size_t entry = 0; entry < kPositionEntries; ++entry) {
            int col = columns[entry];
            std::string_view clean = col >= 0 && static_cast<std::size_t>(col) < check.size()
                                         ? cleanCsvFieldView(check[static_cast<std::size_t>(col)])
                                         : std::string_view();
            const auto& value = values[entry];
            FUZZ_CHECK(value ? (!value->empty() && *value == clean) : clean.empty());
            FUZZ_CHECK(value || PositionEntry(entry) == Town || PositionEntry(entry) == Mesh);
        }
    }
    return 0;
}
