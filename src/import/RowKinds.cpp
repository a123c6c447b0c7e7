#include "import/RowKinds.h"

namespace mrk2 {

void RowKinds::add(std::optional<std::string_view> block, std::optional<std::string_view> flag,
                   std::int64_t rows) {
    if (!block)
        return;
    if (flag == std::string_view("0"))
        parcels += rows;
    else if (block->find('-') != std::string_view::npos)
        houses += rows;
    else
        blocks += rows;
}

RowKinds& RowKinds::operator+=(const RowKinds& other) {
    houses += other.houses;
    blocks += other.blocks;
    parcels += other.parcels;
    return *this;
}

namespace {

std::string kinds(const RowKinds& k) {
    return "住居 " + std::to_string(k.houses) + "件, 街区 " + std::to_string(k.blocks) +
           "件, 地番 " + std::to_string(k.parcels) + "件";
}

}  // namespace

std::optional<std::string> rowKindsNote(const RowKinds& came, const RowKinds& went,
                                        std::int64_t withoutPosition, bool toldByKind) {
    if (!toldByKind && went.houses + went.parcels == 0)
        return std::nullopt;
    std::string text = "読み込んだ行: " + kinds(came);
    if (went.any())
        text += "\n削除した行: " + kinds(went);
    return text + "\n位置座標のない行: " + std::to_string(withoutPosition) + "件";
}

}  // namespace mrk2
