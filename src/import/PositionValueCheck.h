#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "import/PositionLine.h"

namespace mrk2 {

// Latitude, longitude and the plane X and Y of one mapped position line must be
// finite decimal numbers ("35.681236", "-42187.8") within their range, or empty
// (stored NULL): latitude -90 to 90, longitude -180 to 180, X and Y within
// 10,000 km of the plane's origin. What is not (NaN, 1e999, 0x1p5, a kana
// reading, latitude 95) would be stored and answered as a place, so it stops the
// load instead. Throws mrk2::Error naming `lineNo` and the column
// (FormatError::NotANumber, FormatError::OutOfRange) for the first faulty value.
void checkPositionValues(const PositionValues& values,
                         const std::array<int, kPositionEntries>& columns, std::size_t lineNo);

// The same rule for one value of any layout, the registry's included: the
// number, or nullopt with `fault` set (FormatError::NotANumber, OutOfRange).
std::optional<double> positionValue(PositionEntry entry, std::string_view text, int& fault);

// The error of a value positionValue() refused, the message starting with
// `where` ("3 行目: 列 8").
[[noreturn]] void throwPositionValueFault(int fault, std::string_view text,
                                          const std::string& where);

// positionValue() or its error; `where` is called only on a fault, so that a
// million good values build no message.
template <class Where>
double checkedPositionValue(PositionEntry entry, std::string_view text, Where&& where) {
    int fault = 0;
    if (std::optional<double> value = positionValue(entry, text, fault))
        return *value;
    throwPositionValueFault(fault, text, where());
}

}  // namespace mrk2
