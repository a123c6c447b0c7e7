#include "data/RegionChangeSummary.h"

namespace mrk2 {

namespace {

std::string count(const RegionComparison::Count& c) {
    return std::to_string(c.before) + " → " + std::to_string(c.after);
}

}  // namespace

std::string regionChangeSummaryText(const RegionComparison& c) {
    return "ソース: " + count(c.sources) + " (再読込 " + std::to_string(c.sourcesReloaded.size()) +
           ", 追加 " + std::to_string(c.sourcesAdded.size()) + ", 削除 " +
           std::to_string(c.sourcesRemoved.size()) + ")\n" + "町: " + count(c.towns) + " (追加 " +
           std::to_string(c.townsAdded.size()) + ", 削除 " + std::to_string(c.townsRemoved.size()) +
           ", 街区数の変化 " + std::to_string(c.blocksChanged.size()) + ")\n" +
           "行: " + count(c.rows) + "\n" + "町別テーブル: " + count(c.tables) + "\n";
}

std::string uncodedTownsText(const RegionSnapshot& region) {
    if (region.townsWithoutCode == 0)
        return {};
    constexpr std::size_t kNamed = 5;
    const auto& names = region.municipalitiesWithoutCode;
    std::string text = "市区町村コード不明の町: " + std::to_string(region.townsWithoutCode) + " (";
    for (std::size_t i = 0; i < names.size() && i < kNamed; ++i)
        text += (i ? "、" : "") + names[i];
    if (names.size() > kNamed)
        text += " ほか " + std::to_string(names.size() - kNamed) + " 市区町村";
    return text + ")\n";
}

}  // namespace mrk2
