#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A broken invariant is a finding like a crash: libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                       \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "broken invariant: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace mrk2::fuzz {

struct RawLine {
    std::string_view text;  // without its line end
    std::string_view eol;   // "\r\n", "\n", "\r", or "" for a last line without one
};

// Lines as the tool defines them, written out the plain way: CR, LF and CR LF
// each end a line, and a break at the very end makes no extra line.
inline std::vector<RawLine> splitLines(std::string_view bytes) {
    std::vector<RawLine> lines;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t j = i;
        while (j < bytes.size() && bytes[j] != '\r' && bytes[j] != '\n')
            ++j;
        std::size_t eol = j == bytes.size()                                                    ? 0
                          : (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ? 2
                                                                                               : 1;
        lines.push_back({bytes.substr(i, j - i), bytes.substr(j, eol)});
        i = j + eol;
    }
    return lines;
}

inline bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace mrk2::fuzz
