// The one spelling that addresses and stored names are compared in.
#include <gtest/gtest.h>

#include "lookup/AddressNormalizer.h"

namespace mrk2 {
namespace {

TEST(AddressNormalizerTest, SpellingsOfTheSameAddressMeet) {
    const std::pair<const char*, const char*> cases[] = {
        {"丸の内一丁目1番1号", "丸の内1丁目1-1-"},
        {"丸の内 １丁目 ２－３", "丸の内1丁目2-3"},
        {"丸の内\u3000１丁目１２番地３", "丸の内1丁目12-3"},
        {"十二丁目", "12丁目"},
        {"二十丁目", "20丁目"},
        {"二十一丁目", "21丁目"},
        {"百五丁目", "105丁目"},
        // Hyphens of every kind after a digit; a run of separators is one.
        {"1‐2‑3–4—5―6−7ー8ｰ9", "1-2-3-4-5-6-7-8-9"},
        {"1番地－2", "1-2"},
        {"1番地の2", "1-2"},
        {"1の2", "1-2"},
        {"2番地の乙", "2-乙"},
        {"霞が関", "霞ケ関"},
        {"霞ヶ関", "霞ケ関"},
        {"ＡＢｃ", "ABc"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(normalizeAddress(in), out) << in;
}

TEST(AddressNormalizerTest, NamesStayAsTheyAreWhereNoNumberIsMeant) {
    // Kanji numerals name the town unless 丁目 follows; 番 and ー belong to the
    // name unless a digit precedes them.
    for (const char* name : {"一番町", "九段北", "三番町", "八丁堀", "千住", "ニューシティー",
                             "西多摩郡瑞穂町", "四谷三栄町", "丸の内", "さがみ野"})
        EXPECT_EQ(normalizeAddress(name), name);
    EXPECT_EQ(normalizeAddress("\xff\xfe丁目"), "\xff\xfe丁目");  // invalid bytes survive
}

TEST(AddressNormalizerTest, MarksKeepWhatTheSeparatorsSaid) {
    EXPECT_EQ(normalizeAddress("本町2番3号", SeparatorMarks::Kept), "本町2#3#");
    EXPECT_EQ(normalizeAddress("安房1番地の2", SeparatorMarks::Kept), "安房1@2");
    EXPECT_EQ(normalizeAddress("本町2-3", SeparatorMarks::Kept), "本町2-3");
}

}  // namespace
}  // namespace mrk2
