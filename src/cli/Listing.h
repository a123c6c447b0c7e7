#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "base/Utf8.h"

namespace mrk2::cli {

// A text with its control characters written as escapes (\t, \n, \r, \xNN for
// the rest of C0 and DEL, \u0080…\u009F for C1): a tab or line break would break
// the columns of a listing, and an escape sequence would drive the operator's
// terminal. Backslashes stay single, since catalog directories written on
// Windows are full of them.
inline std::string escapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char buf[8];
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else if (const char32_t code = utf8::decodeAt(text, i).code;
                   code >= 0x80 && code <= 0x9F) {
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(code));
            out += buf;
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// One cell of a tab-separated listing, control characters escaped. NULL prints
// as an empty cell.
inline std::string listingCell(const std::optional<std::string>& text) {
    return text ? escapeControls(*text) : std::string();
}

}  // namespace mrk2::cli
