#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/LookupResult.h"
#include "lookup/TownBlocks.h"

namespace mrk2 {

// The row of a town that the rest of an address names, and the level it names
// it at: 街区 for a block ("1", 住居表示フラグ 1), 住居 for a house ("1-2", flag 1),
// 地番 for a parcel ("123-4", flag 0).
struct RowChoice {
    std::size_t row = 0;  // index into the town's rows
    MatchLevel level = MatchLevel::Block;
    // The block number when a block was asked for that only its houses carry:
    // the first house stands for it.
    std::optional<std::string> blockOnly;
};

// A row's 街区・番地 in the form it is compared in: normalised, without
// separators at its ends.
std::string rowNumber(std::string_view block);

// The level a row names: 地番 when it is no 住居表示 row, else 住居 when its
// number (rowNumber) has a separator and 街区 when not.
MatchLevel levelOf(const BlockRef& row, std::string_view number);

// `numbers` are the rows' rowNumber()s; `rest` is the address after its town,
// normalised with plain separators. The longest row number that begins it wins;
// between a house and a parcel of the same number, `parcelWritten` (the address
// said 番地) prefers the parcel and otherwise the house is meant.
std::optional<RowChoice> chooseRow(const std::vector<BlockRef>& rows,
                                   const std::vector<std::string>& numbers, std::string_view rest,
                                   bool parcelWritten);

}  // namespace mrk2
