#include "import/PositionValueCheck.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "base/Error.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

// Plane coordinates are metres from the origin of the zone.
constexpr double kPlaneLimit = 10'000'000.0;

struct ValueRule {
    PositionEntry entry;
    double limit;  // the value lies within -limit .. limit
};

constexpr ValueRule kRules[] = {{X, kPlaneLimit}, {Y, kPlaneLimit}, {Lat, 90.0}, {Lon, 180.0}};

// A decimal number as the published files write it: a sign, digits, and a
// fraction; no exponent, no hexadecimal, no words such as "inf" or "nan".
std::optional<double> decimalNumber(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    bool digits = false, point = false;
    for (std::size_t j = i; j < text.size(); ++j) {
        if (text[j] >= '0' && text[j] <= '9')
            digits = true;
        else if (text[j] == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    if (text[0] == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string where(std::size_t lineNo, int column) {
    return std::to_string(lineNo) + " 行目: 列 " + std::to_string(column);
}

}  // namespace

std::optional<double> positionValue(PositionEntry entry, std::string_view text, int& fault) {
    double limit = kPlaneLimit;
    for (const ValueRule& rule : kRules) {
        if (rule.entry == entry)
            limit = rule.limit;
    }
    std::optional<double> value = decimalNumber(text);
    if (!value)
        fault = FormatError::NotANumber;
    else if (std::fabs(*value) > limit)
        fault = FormatError::OutOfRange;
    else
        return value;
    return std::nullopt;
}

void throwPositionValueFault(int fault, std::string_view text, const std::string& where) {
    throw Error(fault,
                where + " の値「" + std::string(text) + "」は" +
                    (fault == FormatError::OutOfRange ? "範囲外です。" : "数値ではありません。"));
}

void checkPositionValues(const PositionValues& values,
                         const std::array<int, kPositionEntries>& columns, std::size_t lineNo) {
    for (const ValueRule& rule : kRules) {
        const auto& text = values[static_cast<std::size_t>(rule.entry)];
        if (text) {  // empty: stored as NULL
            checkedPositionValue(rule.entry, *text, [&] {
                return where(lineNo, columns[static_cast<std::size_t>(rule.entry)]);
            });
        }
    }
}

}  // namespace mrk2
