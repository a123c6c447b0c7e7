#pragma once
#include <string>
#include <string_view>

namespace mrk2 {

// One spelling for addresses and the names they are matched against, so that a
// prefix comparison of the two means what the operator means:
// - blanks (half-width, full-width, tabs) are dropped;
// - full-width ASCII (digits, letters, signs) becomes half-width;
// - a kanji numeral before 丁目 becomes digits (三丁目 = 3丁目, 十二丁目 = 12丁目);
// - after a digit, the hyphen family (- － ‐ ‑ ‒ – — ― − ー ｰ) and the words 番地,
//   番, 号 and の become one separator "-", and a run of separators counts as
//   one (1番地の2 = 1の2 = 1-2, 2番地の乙 = 2-乙);
// - ケ, ヶ, ヵ and が between two kanji are one letter (霞ヶ関 = 霞が関 = 霞ケ関).
// Input and output are UTF-8; bytes that are not valid UTF-8 are kept as they are.
//
// With `marks`, a separator written as 番 or 号 comes out as kNumberWordMark and
// one written as 番地 as kParcelMark: an address says with them that a number is
// a block, house or parcel number and never a 丁目, and 番地 that it means a parcel.
enum class SeparatorMarks { Plain, Kept };
std::string normalizeAddress(std::string_view text, SeparatorMarks marks = SeparatorMarks::Plain);

// A town name with every kanji numeral that comes before 番 in digits
// ("十二番丁" -> "12番丁"), the way an address may write it; the rest unchanged.
std::string numeralsBeforeBanAsDigits(std::string_view name);

// The separators that normalizeAddress writes.
inline constexpr char kAddressSeparator = '-';
inline constexpr char kNumberWordMark = '#';
inline constexpr char kParcelMark = '@';

inline bool isAddressSeparator(char c) {
    return c == kAddressSeparator || c == kNumberWordMark || c == kParcelMark;
}

}  // namespace mrk2
