// Readings written half-width as Japan Post's postal file writes them.
#include <gtest/gtest.h>

#include "base/KanaWidth.h"

namespace mrk2::test {
namespace {

TEST(KanaWidthTest, KanaPunctuationAndFullWidthAsciiBecomeHalfWidth) {
    const std::pair<std::string, std::string> cases[] = {
        // A voiced or semi-voiced letter becomes its letter and a mark.
        {"ガギグゲゴ", "ｶﾞｷﾞｸﾞｹﾞｺﾞ"},
        {"パピプペポ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {"ヴ", "ｳﾞ"},
        {"ァィゥェォッャュョ", "ｧｨｩｪｫｯｬｭｮ"},
        {"ヶ", "ｹ"},
        {"ヲン", "ｦﾝ"},
        {"トーキョー", "ﾄｰｷｮｰ"},
        {"（１２ＡＺａｚ）", "(12AZaz)"},
        {"！～－", "!~-"},
        {"ホンチョウ　１", "ﾎﾝﾁｮｳ 1"},
        // What has no half-width spelling stays as it is.
        {"東京都千代田区", "東京都千代田区"},
        {"ひらがな", "ひらがな"},
        {"￥〒", "￥〒"},
        {"ｶﾞ (1) abc", "ｶﾞ (1) abc"},
        {"🗾ア", "🗾ｱ"},
        {"", ""},
        // A sequence cut short at the end is kept, not read past.
        {"ア\xE3\x82", "ｱ\xE3\x82"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(halfWidthKana(in), out) << in;
}

}  // namespace
}  // namespace mrk2::test
