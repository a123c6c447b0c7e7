#pragma once
#include <string>

namespace mrk2 {

// The first data line of a CSV file, as the operator types it in a window, on
// the command line or in the settings file. One rule for all three: blanks
// around a decimal number (with a fraction or an exponent, in half-width or
// full-width digits), rounded to the nearest line, halves to even. Hexadecimal,
// "inf", "nan" and anything else are no numbers.
inline constexpr int kMinStartLine = 1;
inline constexpr int kMaxStartLine = 32767;

// Throws mrk2::Refusal with the message to show: "開始行数に数値を入力して下さい"
// for what is no number, the allowed range for a number outside it.
int parseStartLine(const std::string& text);

}  // namespace mrk2
