#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace mrk2 {

// Every CSV reader of the tool cuts a line at every comma, with no regard for
// quotes, and cleans each field it uses. Published files put no commas inside
// quoted values, and the region databases already built rely on this exact
// rule, so it is kept simple on purpose.

// Trims blanks (U+0020), drops one double quote at the start and one at the end,
// and trims again. Quotes inside the field stay as they are.
std::string cleanCsvField(std::string_view field);

// The same rule without copying: the result points into `field`.
std::string_view cleanCsvFieldView(std::string_view field);

// Cuts `line` at every comma into `fields` (cleared first; its capacity is kept
// so a reader can reuse one vector for every line). An empty line gives no
// fields at all; "a," gives two.
void splitCsvLine(std::string_view line, std::vector<std::string_view>& fields);

}  // namespace mrk2
