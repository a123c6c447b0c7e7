#include "base/StartLine.h"

#include <charconv>
#include <cmath>

#include "base/Error.h"
#include "base/Utf8Text.h"

namespace mrk2 {

namespace {

// [+-] digits [. digits] [e [+-] digits], with a digit before or after the point.
bool isDecimal(const std::string& s) {
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t from = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        return i - from;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t whole = digits();
    std::size_t fraction = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        fraction = digits();
    }
    if (whole + fraction == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == s.size();
}

}  // namespace

int parseStartLine(const std::string& text) {
    static const char* const kNotANumber = "開始行数に数値を入力して下さい";
    // Full-width digits, signs and the point count as their ASCII forms.
    std::string s = narrowAscii(text);
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        throw Refusal(kNotANumber);
    s = s.substr(b, s.find_last_not_of(" \t") - b + 1);
    if (!isDecimal(s))
        throw Refusal(kNotANumber);
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), value);
    double line = std::nearbyint(value);
    if (ec == std::errc::result_out_of_range || !std::isfinite(value) || line < kMinStartLine ||
        line > kMaxStartLine || ptr != s.data() + s.size()) {
        throw Refusal("開始行数には " + std::to_string(kMinStartLine) + " から " +
                      std::to_string(kMaxStartLine) + " までの数値を入力して下さい");
    }
    return static_cast<int>(line);
}

}  // namespace mrk2
