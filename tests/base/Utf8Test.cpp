#include "base/Utf8.h"

#include <gtest/gtest.h>

#include "base/Utf8Text.h"

namespace mrk2::test {
namespace {

TEST(Utf8Test, DecodesValidFormsAndRefusesEveryOtherOne) {
    EXPECT_EQ(utf8::decodeAt("a", 0).code, U'a');
    EXPECT_EQ(utf8::decodeAt("東", 0).code, U'東');
    EXPECT_EQ(utf8::decodeAt("\xF0\x9F\x97\xBE", 0).code, U'\U0001F5FE');
    EXPECT_EQ(utf8::decodeAt("\xF0\x9F\x97\xBE", 0).length, 4u);
    for (const char* invalid : {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                "\xF4\x90\x80\x80", "\xE6\x9D", "\xE6\x41\x41", "\xFF"})
        EXPECT_EQ(utf8::decodeAt(invalid, 0).length, 0u) << invalid;
    EXPECT_TRUE(isValidUtf8("東京都 1-2"));
    EXPECT_FALSE(isValidUtf8("東京\xE6\x9D"));
}

TEST(Utf8Test, WalksCharactersAndTextWithInvalidBytes) {
    const std::string text = "ab東\x80京";
    EXPECT_EQ(utf8::characterCount("東京都"), 3u);
    EXPECT_EQ(utf8::nextCharacter(text, 2), 6u);  // a stray continuation byte goes along
    EXPECT_EQ(firstCharacters("13101東京", 6), "13101東");
    std::string out;
    utf8::append(out, U'\U0001F5FE');
    utf8::append(out, U'ｱ');
    EXPECT_EQ(out,
              "\xF0\x9F\x97\xBE"
              "ｱ");
    // The width conversion leaves bytes that are not UTF-8 as they are.
    EXPECT_EQ(narrowAscii("ＡＢ\x80　１"), "AB\x80 1");
}

}  // namespace
}  // namespace mrk2::test
