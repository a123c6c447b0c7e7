// The read-ahead thread between an archive member and the line reader: the
// bytes come through whole and in order, a failure of the member comes after
// the bytes before it, and a reader that stops early is not held up.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/ReadAheadBytes.h"
#include "support/ScriptedBytes.h"

namespace mrk2::test {
namespace {

constexpr std::size_t kChunk = ReadAheadBytes::kChunkBytes;

std::unique_ptr<ByteSource> scripted(std::string bytes,
                                     std::vector<std::size_t> steps = {4099, 1, 77},
                                     std::size_t failAt = std::string::npos) {
    return std::make_unique<ScriptedBytes>(std::move(bytes), std::move(steps), failAt);
}

TEST(ReadAheadBytesTest, EveryByteComesOnceInOrderWhateverThePieceSizes) {
    struct Case {
        std::size_t size;
        std::vector<std::size_t> sourceSteps;
        std::vector<std::size_t> readSteps;
    };
    const Case cases[] = {
        {1, {1}, {1}},
        {5000, {3}, {1, 2}},
        // More chunks than are read ahead, ending just past a chunk boundary,
        // taken out in pieces that straddle every boundary.
        {(ReadAheadBytes::kChunksAhead + 2) * kChunk + 1, {65537, 13}, {1, 99991, kChunk + 7}},
        {2 * kChunk, {kChunk}, {kChunk - 1}},
    };
    for (const Case& c : cases) {
        const std::string bytes = patternBytes(c.size);
        ReadAheadBytes ahead(scripted(bytes, c.sourceSteps));
        const std::string got = readAll(ahead, c.readSteps);
        EXPECT_EQ(got.size(), bytes.size()) << c.size;
        EXPECT_TRUE(got == bytes) << c.size;
        char after;
        EXPECT_EQ(ahead.read(&after, 1), 0u) << "the end stays the end";
    }
}

TEST(ReadAheadBytesTest, AnEmptySourceEndsAtOnce) {
    ReadAheadBytes ahead(scripted(""));
    char c;
    EXPECT_EQ(ahead.read(&c, 1), 0u);
    EXPECT_EQ(ahead.read(&c, 1), 0u);
}

TEST(ReadAheadBytesTest, AFailureOfTheSourceComesAfterTheBytesBeforeIt) {
    // At the start, inside the first chunk, and past a full chunk.
    for (std::size_t failAt : {std::size_t{0}, std::size_t{70001}, kChunk + 5}) {
        const std::string bytes = patternBytes(failAt + 100000);
        ReadAheadBytes ahead(scripted(bytes, {65537, 13}, failAt));
        std::string got;
        char buf[8191];
        try {
            for (std::size_t n; (n = ahead.read(buf, sizeof buf)) > 0;)
                got.append(buf, n);
            ADD_FAILURE() << "ended without the failure at " << failAt;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 5);
        }
        EXPECT_TRUE(got == bytes.substr(0, failAt)) << failAt << " " << got.size();
    }
}

TEST(ReadAheadBytesTest, AReaderThatStopsEarlyIsNeitherHeldUpNorCrashed) {
    // More bytes than are read ahead: the thread is waiting for room, or in the
    // middle of a chunk, when the reader goes.
    const std::string bytes = patternBytes((ReadAheadBytes::kChunksAhead + 3) * kChunk);
    for (std::size_t readFirst : {std::size_t{0}, std::size_t{1}, 2 * kChunk + 3}) {
        auto ahead = std::make_unique<ReadAheadBytes>(scripted(bytes, {65536}));
        std::vector<char> buf(readFirst + 1);
        std::size_t got = 0;
        while (got < readFirst)
            got += ahead->read(buf.data(), readFirst - got);
        ahead.reset();
    }
    // Gone before the source has failed, and after.
    auto failing = std::make_unique<ReadAheadBytes>(scripted(bytes, {65536}, 10));
    failing.reset();
}

}  // namespace
}  // namespace mrk2::test
