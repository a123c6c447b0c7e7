#include "lookup/AddressNormalizer.h"

#include <vector>

#include "base/Utf8.h"
#include "base/Utf8Text.h"

namespace mrk2 {

namespace {

// Code points; an invalid byte is kept as a code point of its own above the
// Unicode range, so that it round-trips unchanged.
constexpr char32_t kRawByte = 0x110000;

std::vector<char32_t> decode(std::string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const utf8::Decoded d = utf8::decodeAt(s, i);
        if (d.length == 0) {
            out.push_back(kRawByte + static_cast<unsigned char>(s[i]));
            ++i;
            continue;
        }
        out.push_back(d.code);
        i += d.length;
    }
    return out;
}

void encode(char32_t cp, std::string& out) {
    if (cp >= kRawByte)
        out += static_cast<char>(cp - kRawByte);
    else
        utf8::append(out, cp);
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\u3000';
}

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

bool isHyphenLike(char32_t c) {
    switch (c) {
        case U'-':
        case U'\u2010':
        case U'\u2011':
        case U'\u2012':
        case U'\u2013':
        case U'\u2014':
        case U'\u2015':
        case U'\u2212':
        case U'\u30FC':
        case U'\uFF70':
            return true;
        default:
            return false;
    }
}

// Value of a kanji digit, -1 for anything else.
int kanjiDigit(char32_t c) {
    switch (c) {
        case U'〇':
        case U'零':
            return 0;
        case U'一':
            return 1;
        case U'二':
            return 2;
        case U'三':
            return 3;
        case U'四':
            return 4;
        case U'五':
            return 5;
        case U'六':
            return 6;
        case U'七':
            return 7;
        case U'八':
            return 8;
        case U'九':
            return 9;
        default:
            return -1;
    }
}

int kanjiMultiplier(char32_t c) {
    return c == U'十' ? 10 : c == U'百' ? 100 : c == U'千' ? 1000 : 0;
}

bool isKanjiNumeral(char32_t c) {
    return kanjiDigit(c) >= 0 || kanjiMultiplier(c) > 0;
}

// 十二 = 12, 二十 = 20, 百五 = 105; digits written in place (二〇) count positionally.
long kanjiValue(const std::vector<char32_t>& s, std::size_t from, std::size_t to) {
    long total = 0;
    long current = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (int d = kanjiDigit(s[i]); d >= 0) {
            current = current * 10 + d;
        } else {
            total += (current == 0 ? 1 : current) * kanjiMultiplier(s[i]);
            current = 0;
        }
    }
    return total + current;
}

bool isKanji(char32_t c) {
    return (c >= U'\u4E00' && c <= U'\u9FFF') || (c >= U'\u3400' && c <= U'\u4DBF') || c == U'々';
}

bool isKeLike(char32_t c) {
    return c == U'ケ' || c == U'ヶ' || c == U'ヵ' || c == U'が' || c == U'ｹ';
}

// Full-width ASCII to ASCII; blanks dropped; the ケ of place names made one letter.
std::vector<char32_t> foldWidth(const std::vector<char32_t>& in) {
    std::vector<char32_t> out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (isBlank(c))
            continue;
        c = narrowAsciiCharacter(c);
        if (isKeLike(c) && !out.empty() && isKanji(out.back()) && i + 1 < in.size() &&
            isKanji(in[i + 1]))
            c = U'ケ';
        out.push_back(c);
    }
    return out;
}

// 三丁目 -> 3丁目.
std::vector<char32_t> chomeDigits(const std::vector<char32_t>& in) {
    std::vector<char32_t> out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (isKanjiNumeral(in[i])) {
            std::size_t end = i;
            while (end < in.size() && isKanjiNumeral(in[end]))
                ++end;
            if (end + 1 < in.size() && in[end] == U'丁' && in[end + 1] == U'目') {
                for (char c : std::to_string(kanjiValue(in, i, end)))
                    out.push_back(static_cast<char32_t>(c));
                i = end - 1;
                continue;
            }
            out.insert(out.end(), in.begin() + static_cast<long>(i),
                       in.begin() + static_cast<long>(end));
            i = end - 1;
            continue;
        }
        out.push_back(in[i]);
    }
    return out;
}

// After a digit: hyphens, 番地, 番, 号 and の become one separator.
std::string separate(const std::vector<char32_t>& in, SeparatorMarks marks) {
    const bool kept = marks == SeparatorMarks::Kept;
    std::string out;
    out.reserve(in.size() * 3);
    bool afterNumber = false;  // the last thing written was a digit or a separator
    bool afterSeparator = false;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (afterNumber) {
            std::size_t skip = 0;
            char separator = kAddressSeparator;
            if (c == U'番') {
                const bool parcel = i + 1 < in.size() && in[i + 1] == U'地';
                skip = parcel ? 2 : 1;
                if (kept)
                    separator = parcel ? kParcelMark : kNumberWordMark;
            } else if (c == U'号') {
                skip = 1;
                if (kept)
                    separator = kNumberWordMark;
            } else if (isHyphenLike(c) || c == U'の') {
                skip = 1;
            }
            if (skip) {
                if (!afterSeparator)
                    out += separator;
                afterSeparator = true;
                i += skip - 1;
                continue;
            }
        }
        encode(c, out);
        afterNumber = isDigit(c);
        afterSeparator = false;
    }
    return out;
}

}  // namespace

std::string numeralsBeforeBanAsDigits(std::string_view name) {
    const std::vector<char32_t> in = decode(name);
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::size_t end = i;
        while (end < in.size() && isKanjiNumeral(in[end]))
            ++end;
        if (end > i && end < in.size() && in[end] == U'番') {
            out += std::to_string(kanjiValue(in, i, end));
            i = end - 1;
            continue;
        }
        encode(in[i], out);
    }
    return out;
}

std::string normalizeAddress(std::string_view text, SeparatorMarks marks) {
    // Block numbers are mostly plain ASCII already; they are read by the thousand.
    bool plain = text.find_first_of(" \t") == std::string_view::npos &&
                 text.find("--") == std::string_view::npos;
    for (std::size_t i = 0; plain && i < text.size(); ++i)
        plain = static_cast<unsigned char>(text[i]) < 0x80;
    if (plain)
        return std::string(text);
    return separate(chomeDigits(foldWidth(decode(text))), marks);
}

}  // namespace mrk2
