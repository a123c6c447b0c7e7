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

}  // namespace mrk2
