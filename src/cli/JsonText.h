#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace mrk2::cli {

// A JSON string literal, quotes included; UTF-8 passes through unchanged.
inline std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// A stored coordinate as a JSON number when it is one, null when empty, and as a
// string otherwise, so that a malformed value is still seen.
inline std::string jsonNumber(std::string_view text) {
    if (text.empty())
        return "null";
    std::size_t i = text[0] == '-' ? 1 : 0;
    std::size_t digits = 0, dots = 0;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] >= '0' && text[k] <= '9')
            ++digits;
        else if (text[k] == '.' && k > i && k + 1 < text.size())
            ++dots;
        else
            return jsonString(text);
    }
    if (digits == 0 || dots > 1 || (text[i] == '0' && text.size() > i + 1 && text[i + 1] != '.'))
        return jsonString(text);
    return std::string(text);
}

}  // namespace mrk2::cli
