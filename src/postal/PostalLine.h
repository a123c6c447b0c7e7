#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mrk2 {

// One line of the national postal CSV as it goes into POST: the postal code and
// the six readings and names, in the order of POSTALFIELDNO. An empty reading or
// name is stored as no value (nullopt). The views point into the line.
struct PostalRow {
    std::string code;
    std::array<std::optional<std::string_view>, 6> names;
};

// Maps one line through the seven configured columns. `fields` is scratch space
// that a caller reuses for every line. Throws mrk2::Error naming `lineNo`:
// FormatError::MissingColumn when a column is not there, FormatError::NotANumber
// when the postal code is not digits.
void mapPostalLine(std::string_view line, const std::array<int, 7>& columns, std::size_t lineNo,
                   std::vector<std::string_view>& fields, PostalRow& row);

// A postal code as stored: its digits without leading zeros ("0600000" becomes
// "600000", as region databases and their readers expect), or nullopt when the
// text is not digits only.
std::optional<std::string> postalCodeText(std::string_view text);

}  // namespace mrk2
