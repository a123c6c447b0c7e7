#include "base/CsvField.h"

namespace mrk2 {

namespace {

std::string_view trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

}  // namespace

std::string_view cleanCsvFieldView(std::string_view field) {
    std::string_view s = trimBlanks(field);
    // Replacing a quote by a blank and trimming again is the same as dropping it.
    if (!s.empty() && s.front() == '"')
        s.remove_prefix(1);
    if (!s.empty() && s.back() == '"')
        s.remove_suffix(1);
    return trimBlanks(s);
}

std::string cleanCsvField(std::string_view field) {
    return std::string(cleanCsvFieldView(field));
}

void splitCsvLine(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    if (line.empty())
        return;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

}  // namespace mrk2
