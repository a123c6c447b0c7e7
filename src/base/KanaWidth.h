#pragma once
#include <string>
#include <string_view>

namespace mrk2 {

// The text with full-width katakana, kana punctuation, full-width ASCII and the
// ideographic space written half-width (ガ → ｶﾞ, （ → (), as Japan Post's CP932
// postal file writes its readings. Everything else stays as it is.
std::string halfWidthKana(std::string_view text);

}  // namespace mrk2
