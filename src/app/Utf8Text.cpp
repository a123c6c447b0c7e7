#include "app/Utf8Text.h"

namespace mrk2 {

std::string firstCharacters(const std::string& text, int count) {
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return text.substr(0, i);
}

std::string narrowAscii(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        // U+FF01..U+FF5E are EF BC 81..EF BD 9E; the ideographic space is E3 80 80.
        if (text.compare(i, 3, "\xE3\x80\x80") == 0) {
            out += ' ';
            i += 3;
            continue;
        }
        if (static_cast<unsigned char>(text[i]) == 0xEF && i + 2 < text.size()) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            const unsigned code = 0xFF00u + ((b1 & 0x03u) << 6) + (b2 & 0x3Fu);
            if ((b1 == 0xBC || b1 == 0xBD) && code >= 0xFF01 && code <= 0xFF5E) {
                out += static_cast<char>(code - 0xFF00 + 0x20);
                i += 3;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

}  // namespace mrk2
