// Looking at a file's first line before it is read: the line as each line break
// ends it, and the bytes looked at read again, first, by the reader.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/PeekedBytes.h"
#include "support/ScriptedBytes.h"

namespace mrk2::test {
namespace {

constexpr std::size_t kMax = PeekedBytes::kMaxPeek;

TEST(PeekedBytesTest, TheFirstLineEndsAtAnyLineBreakAndTheWholeStreamIsStillRead) {
    std::string noBreaks = patternBytes(kMax + 9000);
    std::replace(noBreaks.begin(), noBreaks.end(), '\n', '.');
    std::replace(noBreaks.begin(), noBreaks.end(), '\r', '.');
    struct Case {
        std::string bytes;
        std::string line;
    };
    const Case cases[] = {
        {"lg_code,pref\n011002,北海道\n", "lg_code,pref"},
        {"lg_code,pref\r\n011002\r\n", "lg_code,pref"},
        {"lg_code,pref\r011002\r", "lg_code,pref"},
        {"\nsecond\n", ""},
        {"only line", "only line"},
        {"", ""},
        // A line longer than is looked at: its beginning, no more.
        {noBreaks + "\nnext\n", noBreaks.substr(0, kMax)},
        {noBreaks, noBreaks.substr(0, kMax)},
    };
    // Pieces that do and do not fit the peek, and readers that take little and much.
    const std::vector<std::vector<std::size_t>> sourceSteps = {{5000}, {8192}, {1, 70000}};
    const std::vector<std::vector<std::size_t>> readSteps = {{1, 3}, {100000}};
    for (const Case& c : cases) {
        for (const auto& steps : sourceSteps) {
            for (const auto& reads : readSteps) {
                PeekedBytes peeked(std::make_unique<ScriptedBytes>(c.bytes, steps));
                const std::string line = peeked.firstLine();
                EXPECT_TRUE(line == c.line) << c.bytes.size() << " bytes in pieces of " << steps[0]
                                            << " gave a line of " << line.size();
                EXPECT_TRUE(peeked.firstLine() == line) << "asked again";
                EXPECT_TRUE(readAll(peeked, reads) == c.bytes) << c.bytes.size();
            }
        }
    }
}

TEST(PeekedBytesTest, ASourceNeverPeekedAtIsReadAsItIs) {
    const std::string bytes = patternBytes(3 * kMax);
    PeekedBytes peeked(std::make_unique<ScriptedBytes>(bytes));
    EXPECT_TRUE(readAll(peeked, {4096, 7}) == bytes);
}

}  // namespace
}  // namespace mrk2::test
