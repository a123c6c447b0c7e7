#include <gtest/gtest.h>

#include "base/CsvField.h"

using namespace mrk2;

TEST(CleanCsvField, DropsBlanksAndOneEnclosingQuoteAtEachEnd) {
    EXPECT_EQ(cleanCsvField("\"060  \""), "060");
    EXPECT_EQ(cleanCsvField("\"ﾎｯｶｲﾄﾞｳ\""), "ﾎｯｶｲﾄﾞｳ");
    EXPECT_EQ(cleanCsvField("ﾎｯｶｲﾄﾞｳ"), "ﾎｯｶｲﾄﾞｳ");
    EXPECT_EQ(cleanCsvField("  \" a b \"  "), "a b");
}

TEST(CleanCsvField, QuotesAndBlanksOnlyGiveAnEmptyField) {
    EXPECT_EQ(cleanCsvField(""), "");
    EXPECT_EQ(cleanCsvField("\""), "");
    EXPECT_EQ(cleanCsvField("\"\""), "");
    EXPECT_EQ(cleanCsvField("   "), "");
    EXPECT_EQ(cleanCsvField("\" \""), "");
}

TEST(CleanCsvField, OnlyTheOuterQuotesGoAndTabsAreNotBlanks) {
    EXPECT_EQ(cleanCsvField("\"abc"), "abc");
    EXPECT_EQ(cleanCsvField("abc\""), "abc");
    EXPECT_EQ(cleanCsvField("\"a\"\"b\""), "a\"\"b");
    EXPECT_EQ(cleanCsvField("\"\"a\"\""), "\"a\"");
    EXPECT_EQ(cleanCsvField("\tabc"), "\tabc");
    // A full-width blank is text, not a blank.
    EXPECT_EQ(cleanCsvField("\u3000abc"), "\u3000abc");
}

TEST(SplitCsvLine, CutsAtEveryCommaEvenInsideQuotes) {
    std::vector<std::string_view> f;
    splitCsvLine("1,\"a,b\",2", f);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0], "1");
    EXPECT_EQ(f[1], "\"a");
    EXPECT_EQ(f[2], "b\"");
    EXPECT_EQ(f[3], "2");
    EXPECT_EQ(cleanCsvFieldView(f[1]), "a");
    EXPECT_EQ(cleanCsvFieldView(f[2]), "b");
}

TEST(SplitCsvLine, EmptyLineHasNoFieldsButEmptyFieldsCount) {
    std::vector<std::string_view> f{"stale"};
    splitCsvLine("", f);
    EXPECT_TRUE(f.empty());
    splitCsvLine(",", f);
    EXPECT_EQ(f, (std::vector<std::string_view>{"", ""}));
    splitCsvLine("a,", f);
    EXPECT_EQ(f, (std::vector<std::string_view>{"a", ""}));
    splitCsvLine(" ", f);
    EXPECT_EQ(f, (std::vector<std::string_view>{" "}));
}
