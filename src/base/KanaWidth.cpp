#include "base/KanaWidth.h"

#include <string_view>
#include <unordered_map>

#include "base/Utf8.h"
#include "base/Utf8Text.h"

namespace mrk2 {

namespace {

// Full-width katakana and kana punctuation with their half-width spelling; a
// voiced letter becomes two (ガ → ｶﾞ).
const std::unordered_map<std::string_view, std::string_view>& narrowKanaTable() {
    static const std::unordered_map<std::string_view, std::string_view> table = {
        {"、", "､"},  {"。", "｡"},  {"「", "｢"},  {"」", "｣"},  {"゙", "ﾞ"},    {"゚", "ﾟ"},
        {"゛", "ﾞ"},  {"゜", "ﾟ"},  {"ァ", "ｧ"},  {"ア", "ｱ"},  {"ィ", "ｨ"},  {"イ", "ｲ"},
        {"ゥ", "ｩ"},  {"ウ", "ｳ"},  {"ェ", "ｪ"},  {"エ", "ｴ"},  {"ォ", "ｫ"},  {"オ", "ｵ"},
        {"カ", "ｶ"},  {"ガ", "ｶﾞ"}, {"キ", "ｷ"},  {"ギ", "ｷﾞ"}, {"ク", "ｸ"},  {"グ", "ｸﾞ"},
        {"ケ", "ｹ"},  {"ゲ", "ｹﾞ"}, {"コ", "ｺ"},  {"ゴ", "ｺﾞ"}, {"サ", "ｻ"},  {"ザ", "ｻﾞ"},
        {"シ", "ｼ"},  {"ジ", "ｼﾞ"}, {"ス", "ｽ"},  {"ズ", "ｽﾞ"}, {"セ", "ｾ"},  {"ゼ", "ｾﾞ"},
        {"ソ", "ｿ"},  {"ゾ", "ｿﾞ"}, {"タ", "ﾀ"},  {"ダ", "ﾀﾞ"}, {"チ", "ﾁ"},  {"ヂ", "ﾁﾞ"},
        {"ッ", "ｯ"},  {"ツ", "ﾂ"},  {"ヅ", "ﾂﾞ"}, {"テ", "ﾃ"},  {"デ", "ﾃﾞ"}, {"ト", "ﾄ"},
        {"ド", "ﾄﾞ"}, {"ナ", "ﾅ"},  {"ニ", "ﾆ"},  {"ヌ", "ﾇ"},  {"ネ", "ﾈ"},  {"ノ", "ﾉ"},
        {"ハ", "ﾊ"},  {"バ", "ﾊﾞ"}, {"パ", "ﾊﾟ"}, {"ヒ", "ﾋ"},  {"ビ", "ﾋﾞ"}, {"ピ", "ﾋﾟ"},
        {"フ", "ﾌ"},  {"ブ", "ﾌﾞ"}, {"プ", "ﾌﾟ"}, {"ヘ", "ﾍ"},  {"ベ", "ﾍﾞ"}, {"ペ", "ﾍﾟ"},
        {"ホ", "ﾎ"},  {"ボ", "ﾎﾞ"}, {"ポ", "ﾎﾟ"}, {"マ", "ﾏ"},  {"ミ", "ﾐ"},  {"ム", "ﾑ"},
        {"メ", "ﾒ"},  {"モ", "ﾓ"},  {"ャ", "ｬ"},  {"ヤ", "ﾔ"},  {"ュ", "ｭ"},  {"ユ", "ﾕ"},
        {"ョ", "ｮ"},  {"ヨ", "ﾖ"},  {"ラ", "ﾗ"},  {"リ", "ﾘ"},  {"ル", "ﾙ"},  {"レ", "ﾚ"},
        {"ロ", "ﾛ"},  {"ヮ", "ﾜ"},  {"ワ", "ﾜ"},  {"ヰ", "ｲ"},  {"ヱ", "ｴ"},  {"ヲ", "ｦ"},
        {"ン", "ﾝ"},  {"ヴ", "ｳﾞ"}, {"ヵ", "ｶ"},  {"ヶ", "ｹ"},  {"ヷ", "ﾜﾞ"}, {"ヺ", "ｦﾞ"},
        {"・", "･"},  {"ー", "ｰ"},
    };
    return table;
}

}  // namespace

std::string halfWidthKana(std::string_view input) {
    const auto& table = narrowKanaTable();
    const std::string text = narrowAscii(input);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8::nextCharacter(text, i) - i;
        const std::string_view ch = std::string_view(text).substr(i, n);
        i += n;
        if (auto it = table.find(ch); it != table.end()) {
            out += it->second;
            continue;
        }
        out += ch;
    }
    return out;
}

}  // namespace mrk2
