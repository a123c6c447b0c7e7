#include "base/StartLine.h"

#include <gtest/gtest.h>

#include "base/Error.h"

using namespace mrk2;

namespace {

// The message a refused start line shows; "" when it was taken.
std::string refusal(const std::string& text) {
    try {
        parseStartLine(text);
        return {};
    } catch (const Refusal& r) {
        return r.what();
    }
}

const std::string kNotANumber = "開始行数に数値を入力して下さい";

}  // namespace

TEST(ParseStartLine, DecimalNumbersInEitherWidthRoundToTheNearestLine) {
    EXPECT_EQ(parseStartLine(" 12 "), 12);
    EXPECT_EQ(parseStartLine("1e3"), 1000);
    EXPECT_EQ(parseStartLine("２"), 2);
    EXPECT_EQ(parseStartLine("　１２　"), 12);
    EXPECT_EQ(parseStartLine("+3"), 3);
    EXPECT_EQ(parseStartLine("2.5"), 2);  // halves to even
    EXPECT_EQ(parseStartLine("3.5"), 4);
    EXPECT_EQ(parseStartLine("32767"), 32767);
}

TEST(ParseStartLine, WhatIsNoNumberIsRefusedWithOneMessage) {
    for (const char* text :
         {"abc", "", "  ", "12abc", "x", "inf", "nan", "+-1", "0x10", "１０ｘ", "1e", "."})
        EXPECT_EQ(refusal(text), kNotANumber) << text;
}

TEST(ParseStartLine, ANumberOutsideTheLinesGetsTheRange) {
    const std::string range = "開始行数には 1 から 32767 までの数値を入力して下さい";
    for (const char* text : {"0", "0.4", "-1", "32768", "1e400"})
        EXPECT_EQ(refusal(text), range) << text;
}
