#include "base/Utf8Text.h"

#include "base/Utf8.h"

namespace mrk2 {

std::string firstCharacters(const std::string& text, int count) {
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        i = utf8::nextCharacter(text, i);
    }
    return text.substr(0, i);
}

char32_t narrowAsciiCharacter(char32_t c) {
    if (c >= U'\uFF01' && c <= U'\uFF5E')
        return c - 0xFF01 + 0x21;
    return c == U'\u3000' ? U' ' : c;
}

std::string narrowAscii(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const utf8::Decoded d = utf8::decodeAt(text, i);
        if (d.length <= 1) {  // ASCII, or not UTF-8: kept as it is
            out += text[i++];
            continue;
        }
        utf8::append(out, narrowAsciiCharacter(d.code));
        i += d.length;
    }
    return out;
}

}  // namespace mrk2
