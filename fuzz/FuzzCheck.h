#pragma once
#include <array>
#include <cstdint>
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

// The column map of one input: the first byte picks one of `presets`, or, past
// them, the next N bytes are the columns themselves (taken out of the input).
// False when the input is too short for that.
template <std::size_t N>
bool chooseColumns(std::uint8_t selector, std::string_view& input,
                   const std::vector<std::array<int, N>>& presets, std::array<int, N>& columns) {
    const std::size_t choice = selector % (presets.size() + 1);
    if (choice < presets.size()) {
        columns = presets[choice];
        return true;
    }
    if (input.size() < N)
        return false;
    for (std::size_t i = 0; i < N; ++i)
        columns[i] = static_cast<std::int8_t>(input[i]);
    input.remove_prefix(N);
    return true;
}

inline bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace mrk2::fuzz
