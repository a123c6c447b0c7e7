#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The one UTF-8 decoder of the program: every check of UTF-8 text, every walk
// over its characters and every encoding of a code point goes through here.
namespace mrk2::utf8 {

// The character that starts at a position: its code point and its length in
// bytes. Length 0 when no valid UTF-8 starts there: an invalid or continuation
// byte, a sequence cut short, an overlong form, a surrogate, or past U+10FFFF.
struct Decoded {
    char32_t code = 0;
    std::size_t length = 0;
};
Decoded decodeAt(std::string_view text, std::size_t at);

inline bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length a lead byte announces (1 to 4); 0 for a continuation or invalid byte.
std::size_t sequenceLength(unsigned char lead);

// Where the character after the one at `at` starts: past every continuation
// byte that follows, so that text with invalid bytes is walked too (a stray
// continuation byte goes with the character before it).
std::size_t nextCharacter(std::string_view text, std::size_t at);

std::size_t characterCount(std::string_view text);

void append(std::string& out, char32_t code);

}  // namespace mrk2::utf8

namespace mrk2 {

// Every character valid UTF-8, as utf8::decodeAt reads it.
bool isValidUtf8(std::string_view bytes);

}  // namespace mrk2
