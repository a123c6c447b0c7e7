#include "lookup/PointText.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace mrk2 {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// [+-]digits[.digits] or [+-].digits: what a person writes for a coordinate.
std::optional<double> plainDecimal(std::string_view text) {
    std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    std::size_t digits = 0, dots = 0;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (isDigit(text[k]))
            ++digits;
        else if (text[k] == '.' && dots == 0)
            ++dots;
        else
            return std::nullopt;
    }
    if (digits == 0 || text.size() - i > 64)
        return std::nullopt;
    // from_chars takes no leading '+'.
    std::string_view body = text[0] == '+' ? text.substr(1) : text;
    double value = 0;
    auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> within(std::optional<double> value, double limit) {
    if (value && std::fabs(*value) <= limit)
        return value;
    return std::nullopt;
}

// Blanks between and around the numbers: ASCII space, tab, and U+3000.
std::size_t blankAt(std::string_view s, std::size_t at) {
    if (at < s.size() && (s[at] == ' ' || s[at] == '\t'))
        return 1;
    if (s.substr(at, 3) == "\u3000")
        return 3;
    return 0;
}

}  // namespace

std::optional<double> parseLatitude(std::string_view text) {
    return within(plainDecimal(text), 90);
}

std::optional<double> parseLongitude(std::string_view text) {
    return within(plainDecimal(text), 180);
}

std::optional<PointLine> parsePointLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string_view> words;
    bool comma = false;
    std::size_t at = 0;
    while (at < line.size()) {
        if (std::size_t n = blankAt(line, at)) {
            at += n;
            continue;
        }
        if (line[at] == ',') {
            // One comma, between the two numbers only.
            if (comma || words.size() != 1)
                return std::nullopt;
            comma = true;
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < line.size() && line[end] != ',' && !blankAt(line, end))
            ++end;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    if (words.size() != 2)
        return std::nullopt;
    auto lat = parseLatitude(words[0]);
    auto lon = parseLongitude(words[1]);
    if (!lat || !lon)
        return std::nullopt;
    return PointLine{*lat, *lon};
}

}  // namespace mrk2
