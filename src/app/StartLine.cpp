#include "app/StartLine.h"

#include <charconv>
#include <cmath>

#include "app/Error.h"

namespace mrk2 {

namespace {

// Full-width digits, signs and the decimal point as their ASCII forms; false for
// any other character outside ASCII.
bool toHalfWidth(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // U+FF01..U+FF5E are EF BC 81..EF BD 9E; the ideographic space is E3 80 80.
        if (text.compare(i, 3, "\xE3\x80\x80") == 0) {
            out += ' ';
            i += 3;
            continue;
        }
        if (c == 0xEF && i + 2 < text.size()) {
            unsigned char b1 = static_cast<unsigned char>(text[i + 1]);
            unsigned char b2 = static_cast<unsigned char>(text[i + 2]);
            unsigned code = 0xFF00u + ((b1 & 0x03u) << 6) + (b2 & 0x3Fu);
            if ((b1 == 0xBC || b1 == 0xBD) && code >= 0xFF01 && code <= 0xFF5E) {
                char ascii = static_cast<char>(code - 0xFF00 + 0x20);
                if ((ascii >= '0' && ascii <= '9') || ascii == '+' || ascii == '-' ||
                    ascii == '.' || ascii == 'e' || ascii == 'E') {
                    out += ascii;
                    i += 3;
                    continue;
                }
            }
        }
        return false;
    }
    return true;
}

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
    std::string s;
    if (!toHalfWidth(text, s))
        throw Refusal(kNotANumber);
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
