#include "app/KanaWidth.h"

#include <string_view>
#include <unordered_map>

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

std::size_t utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

}  // namespace

std::string halfWidthKana(std::string_view text) {
    const auto& table = narrowKanaTable();
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = std::min(utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        std::string_view ch = text.substr(i, n);
        i += n;
        if (auto it = table.find(ch); it != table.end()) {
            out += it->second;
            continue;
        }
        // Full-width ASCII (！ to ～) and the ideographic space.
        if (n == 3) {
            char32_t c = (static_cast<char32_t>(ch[0] & 0x0F) << 12) |
                         (static_cast<char32_t>(ch[1] & 0x3F) << 6) |
                         static_cast<char32_t>(ch[2] & 0x3F);
            if (c >= 0xFF01 && c <= 0xFF5E) {
                out += static_cast<char>(c - 0xFF01 + 0x21);
                continue;
            }
            if (c == 0x3000) {
                out += ' ';
                continue;
            }
        }
        out += ch;
    }
    return out;
}

}  // namespace mrk2
