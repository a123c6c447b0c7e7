#include "import/PlaneZone.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace mrk2 {

namespace {

// The zone of each prefecture, by its code (index 1 = 北海道 … 47 = 沖縄県),
// before the exceptions below.
constexpr std::array<int, 48> kPrefectureZone = {
    0,                            //
    12,                           // 北海道 (XI and XIII below)
    10, 10, 10, 10, 10,           // 青森 岩手 宮城 秋田 山形
    9,  9,  9,  9,  9,  9, 9, 9,  // 福島 茨城 栃木 群馬 埼玉 千葉 東京 神奈川
    8,                            // 新潟
    7,  7,                        // 富山 石川
    6,                            // 福井
    8,  8,                        // 山梨 長野
    7,                            // 岐阜
    8,                            // 静岡
    7,                            // 愛知
    6,  6,  6,  6,  5,  6, 6,     // 三重 滋賀 京都 大阪 兵庫 奈良 和歌山
    5,  3,  5,  3,  3,            // 鳥取 島根 岡山 広島 山口
    4,  4,  4,  4,                // 徳島 香川 愛媛 高知
    2,  2,  1,  2,  2,  2, 2,     // 福岡 佐賀 長崎 熊本 大分 宮崎 鹿児島
    15,                           // 沖縄 (XVI and XVII below)
};

// 北海道's municipalities of zone XI: 小樽市, 函館市, 伊達市, 北斗市, the whole of
// 後志, 渡島 and 檜山, and 豊浦町, 壮瞥町 and 洞爺湖町 of 胆振 (the last three
// digits of their codes, 01xxx).
constexpr int kHokkaidoXI[] = {
    202, 203, 233, 236, 331, 332, 333, 334, 337, 343, 345, 346, 347, 361,
    362, 363, 364, 367, 370, 371, 391, 392, 393, 394, 395, 396, 397, 398,
    399, 400, 401, 402, 403, 404, 405, 406, 407, 408, 409, 571, 575, 584,
};

// Zone XIII: 北見市, 帯広市, 釧路市, 網走市, 根室市, the whole of 十勝, 釧路 and
// 根室 (with the villages of the northern islands), and nine towns of オホーツク.
constexpr int kHokkaidoXIII[] = {
    206, 207, 208, 211, 223, 543, 544, 545, 546, 547, 549, 550, 552, 564, 631, 632, 633,
    634, 635, 636, 637, 638, 639, 641, 642, 643, 644, 645, 646, 647, 648, 649, 661, 662,
    663, 664, 665, 667, 668, 691, 692, 693, 694, 695, 696, 697, 698, 699, 700,
};

template <std::size_t N>
bool listed(const int (&codes)[N], int code) {
    return std::binary_search(codes, codes + N, code);
}

int tokyo(double lat, double lon) {
    if (lat >= 28)
        return 9;
    if (lon < 140.5)
        return 18;
    return lon < 143 ? 14 : 19;
}

int okinawa(double lon) {
    if (lon < 126)
        return 16;
    return lon < 130 ? 15 : 17;
}

int kagoshima(double lat, double lon) {
    // Amami lies south of 28°40′N; the box reaches 130°13′E there only.
    const double east = lat < 28 + 40.0 / 60 ? 130 + 13.0 / 60 : 130;
    const bool islands = lat > 27 && lat < 32 && lon >= 128 + 18.0 / 60 && lon <= east;
    return islands ? 1 : 2;
}

}  // namespace

int planeZone(std::string_view lgCode, double lat, double lon) {
    int pref = 0, muni = 0;
    if (lgCode.size() < 5 ||
        std::from_chars(lgCode.data(), lgCode.data() + 2, pref).ec != std::errc{} ||
        std::from_chars(lgCode.data() + 2, lgCode.data() + 5, muni).ec != std::errc{} || pref < 1 ||
        pref > 47)
        return 0;
    switch (pref) {
        case 1:
            return listed(kHokkaidoXI, muni) ? 11 : listed(kHokkaidoXIII, muni) ? 13 : 12;
        case 13:
            return tokyo(lat, lon);
        case 46:
            return kagoshima(lat, lon);
        case 47:
            return okinawa(lon);
        default:
            return kPrefectureZone[static_cast<std::size_t>(pref)];
    }
}

}  // namespace mrk2
