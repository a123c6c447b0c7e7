#include <gtest/gtest.h>

#include "base/Cp932.h"
#include "base/Error.h"
#include "base/LineReader.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::sjis;
using mrk2::test::TempDir;

namespace {

std::vector<std::string> readAll(const std::string& path) {
    LineReader r;
    r.open(path);
    std::vector<std::string> lines;
    std::string line;
    while (r.next(line)) {
        lines.push_back(line);
        EXPECT_EQ(r.lineNumber(), lines.size());
    }
    return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(LineReader, CrLfCrAndLfAllEndALineAndAFinalBreakAddsNoLine) {
    TempDir dir;
    EXPECT_EQ(readAll(dir.write("a", "a\r\nb\rc\nd\r\n")), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(readAll(dir.write("b", "a\r\nb")), (Lines{"a", "b"}));
    EXPECT_EQ(readAll(dir.write("c", "")), Lines{});
    // An extra break at the end is an empty line, as is one in the middle.
    EXPECT_EQ(readAll(dir.write("d", "a\r\n\r\n")), (Lines{"a", ""}));
    EXPECT_EQ(readAll(dir.write("e", "a\n\nb\r\rc")), (Lines{"a", "", "b", "", "c"}));
    EXPECT_EQ(readAll(dir.write("f", "\r\n")), Lines{""});
}

TEST(LineReader, LinesAcrossTheBufferAndCrLfSplitAcrossReads) {
    TempDir dir;
    // 1024 lines of 1023 bytes: the CR of the last ends exactly at the 1 MiB
    // boundary of the first read, its LF in the next read.
    const std::string line(1023, 'y');
    std::string bytes;
    for (int i = 0; i < 1023; ++i)
        bytes += line + "\n";
    bytes += line + "\r\n";
    ASSERT_EQ(bytes.size(), 1024u * 1024u + 1u);
    // A line of the longest length allowed, read across a refill of the buffer.
    const std::string longest(LineReader::kMaxLineBytes, 'x');
    bytes += longest + "\r\nz";
    Lines lines = readAll(dir.write("big", bytes));
    ASSERT_EQ(lines.size(), 1026u);
    EXPECT_EQ(lines[1023], line);
    EXPECT_EQ(lines[1024], longest);
    EXPECT_EQ(lines[1025], "z");
}

// An endless line is refused naming its line, before more than the limit and a
// buffer of it has been taken from the source.
TEST(LineReader, ALineOverTheLimitIsAnErrorFoundWithoutHoldingIt) {
    struct EndlessLine : ByteSource {
        std::size_t given = 0;
        std::size_t read(char* into, std::size_t size) override {
            const std::string start = "a,b\n";
            for (std::size_t i = 0; i < size; ++i, ++given)
                into[i] = given < start.size() ? start[given] : 'x';
            return size;
        }
    };
    auto source = std::make_unique<EndlessLine>();
    const EndlessLine& endless = *source;
    LineReader r;
    r.open(std::move(source));
    std::string line;
    ASSERT_TRUE(r.next(line));
    try {
        r.next(line);
        FAIL() << "an endless line was read";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::TooManyEntries);
        EXPECT_NE(e.description().find("2 行目"), std::string::npos);
    }
    EXPECT_LT(endless.given, 4u << 20);
}

TEST(LineReader, DecodesCp932WithTheWindowsMappings) {
    TempDir dir;
    // ～ (0x8160) and － (0x817C) are where CP932 and plain Shift_JIS differ.
    std::string bytes = std::string("\x81\x60,\x81\x7c\r\n", 6) + sjis("ﾄｳｷｮｳﾄ,千代田区") + "\r\n";
    LineReader r;
    r.open(dir.write("sjis.csv", bytes));
    EXPECT_EQ(r.encoding(), LineReader::Encoding::Cp932);
    std::string line;
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "\uFF5E,\uFF0D");
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "ﾄｳｷｮｳﾄ,千代田区");
    EXPECT_FALSE(r.next(line));
}

TEST(LineReader, InvalidCp932ByteIsAnErrorNamingItsLine) {
    TempDir dir;
    std::string bytes = sjis("東京都,港区") + "\r\nabc\r\n" + std::string("x\x81\x20y", 4) + "\r\n";
    LineReader r;
    r.open(dir.write("bad.csv", bytes));
    std::string line;
    ASSERT_TRUE(r.next(line));
    ASSERT_TRUE(r.next(line));
    try {
        r.next(line);
        FAIL() << "no error for an invalid byte";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::InvalidEncoding);
        EXPECT_EQ(e.description().rfind("3 行目", 0), 0u) << e.description();
    }
}

TEST(LineReader, Utf8IsRecognisedByBomOrByValidNonAsciiText) {
    TempDir dir;
    LineReader r;
    std::string line;

    r.open(dir.write("bom.csv",
                     "\xEF\xBB\xBF"
                     "abc\r\n"));
    EXPECT_EQ(r.encoding(), LineReader::Encoding::Utf8);
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "abc");  // the mark is not part of the text

    r.open(dir.write("plain.csv", "東京都,千代田区\r\n"));
    EXPECT_EQ(r.encoding(), LineReader::Encoding::Utf8);
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "東京都,千代田区");

    // Pure ASCII stays CP932 (they read the same).
    r.open(dir.write("ascii.csv", "a,b\r\n"));
    EXPECT_EQ(r.encoding(), LineReader::Encoding::Cp932);
}

TEST(LineReader, InvalidUtf8AfterTheProbeIsAnErrorNotAGuess) {
    TempDir dir;
    std::string bytes;
    std::size_t lines = 0;
    while (bytes.size() < LineReader::kProbeSize + 100) {
        bytes += "東京都,千代田区\n";
        ++lines;
    }
    bytes += "\xFF\n";
    LineReader r;
    r.open(dir.write("late.csv", bytes));
    EXPECT_EQ(r.encoding(), LineReader::Encoding::Utf8);
    std::string line;
    for (std::size_t i = 0; i < lines; ++i)
        ASSERT_TRUE(r.next(line));
    try {
        r.next(line);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::InvalidEncoding);
        EXPECT_NE(e.description().find(std::to_string(lines + 1) + " 行目"), std::string::npos);
    }
}

TEST(DetectEncoding, ASequenceCutAtTheProbeBoundaryStillCountsAsUtf8) {
    std::string text = "東a東";  // 東 is three bytes
    for (std::size_t cut = 5; cut <= 6; ++cut) {
        EXPECT_EQ(detectEncoding(text.data(), cut, false), LineReader::Encoding::Utf8) << cut;
        // When those are all the bytes of the file, a cut sequence is simply invalid.
        EXPECT_EQ(detectEncoding(text.data(), cut, true), LineReader::Encoding::Cp932) << cut;
    }
    std::string sj = sjis("東京");
    EXPECT_EQ(detectEncoding(sj.data(), sj.size(), false), LineReader::Encoding::Cp932);
}

TEST(LineReader, MissingFileIsAFileError) {
    LineReader r;
    try {
        r.open("/nonexistent/dir/x.csv");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ENOENT);
    }
}

TEST(LineReader, DecodesEveryCp932CharacterExactlyAsIconvDoes) {
    // Every single byte and byte pair that the system converter accepts, one per
    // line, plus half-width kana: the reader's own table must agree with it.
    TempDir dir;
    std::string bytes;
    std::vector<std::string> expected;
    auto add = [&](std::string_view seq) {
        auto utf8 = cp932ToUtf8(seq);
        if (!utf8 || seq.find_first_of("\r\n") != std::string_view::npos)
            return;
        bytes.append(seq);
        bytes += "\r\n";
        expected.push_back(*utf8);
    };
    for (int b = 0x80; b < 0x100; ++b) {
        char one = static_cast<char>(b);
        add(std::string_view(&one, 1));
        for (int t = 0x40; t < 0x100; ++t) {
            char two[2] = {one, static_cast<char>(t)};
            add(std::string_view(two, 2));
        }
    }
    ASSERT_GT(expected.size(), 7000u);
    Lines lines = readAll(dir.write("all.csv", sjis("ｱｲｳ") + "\r\n" + bytes));
    ASSERT_EQ(lines.size(), expected.size() + 1);
    EXPECT_EQ(lines[0], "ｱｲｳ");
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(lines[i + 1], expected[i]) << "line " << i + 2;
}

TEST(LineReader, ANulByteIsAnEncodingErrorNamingItsLineInEitherEncoding) {
    TempDir dir;
    const std::string nul(1, '\0'), bom = "\xEF\xBB\xBF";
    for (const std::string& bytes : {"a,b\r\n" + nul + "\r\n",  // a field of only a NUL
                                     "a,b\r\nx" + nul + "y,z\r\n", bom + "a\n" + nul,
                                     sjis("東京都") + "\r\n" + sjis("港区") + nul + "\r\n"}) {
        LineReader r;
        r.open(dir.write("nul.csv", bytes));
        std::string line;
        ASSERT_TRUE(r.next(line));
        try {
            r.next(line);
            FAIL() << "no error for a NUL byte";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), FormatError::InvalidEncoding);
            EXPECT_EQ(e.description().rfind("2 行目", 0), 0u) << e.description();
        }
    }
}

TEST(LineReader, AFileOfExactlyTheProbeSizeIsJudgedWhole) {
    // Half-width katakana in CP932 whose pairs happen to be UTF-8 (ﾃｱ is C3 B1), ending
    // in a lone ﾃ: as UTF-8 the last sequence is cut, so the file is CP932.
    TempDir dir;
    for (std::size_t size : {LineReader::kProbeSize - 1, LineReader::kProbeSize}) {
        std::string bytes(size % 2 ? "" : "\n");
        while (bytes.size() < size - 1)
            bytes += sjis("ﾃｱ");
        bytes += sjis("ﾃ");
        ASSERT_EQ(bytes.size(), size);
        Lines lines = readAll(dir.write("kana.csv", bytes));
        ASSERT_FALSE(lines.empty()) << size;
        EXPECT_EQ(lines.back().substr(lines.back().size() - 6), "ｱﾃ") << size;
    }
}
