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
//   番 and 号 become one separator "-", and a run of separators counts as one.
// Input and output are UTF-8; bytes that are not valid UTF-8 are kept as they are.
std::string normalizeAddress(std::string_view text);

// The separator that normalizeAddress writes.
inline constexpr char kAddressSeparator = '-';

}  // namespace mrk2
