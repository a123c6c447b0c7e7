#pragma once
#include <string>
#include <vector>

namespace mrk2 {

// How far an address was resolved, from nothing to a single block, and below it
// to a house of a 住居表示 area or a parcel (地番) elsewhere.
enum class MatchLevel { None, Prefecture, Municipality, Town, Block, House, Parcel };

// 都道府県, 市区町村, 大字・町丁目, 街区, 住居, 地番; "" for None.
const char* matchLevelName(MatchLevel level);

// One point of a per-town table, as stored (coordinates stay text).
struct BlockPoint {
    std::string block;  // 街区・番地: "1" a block, "1-2" a house, "123-4" a parcel
    std::string lat, lon;
    std::string system, x, y;  // 座標系番号, Ｘ座標, Ｙ座標
    std::string table;         // the per-town table that holds the row
    bool representative = false;
};

// The answer for one address. Names are those stored in POSITION; below the
// matched level they are empty. The point is the block's own at block level,
// otherwise the representative point of the town (of the first town of the
// municipality or prefecture at those levels).
// Why an address was not read at all.
enum class InputProblem { None, TooLong, NotUtf8, NotAPoint };

// The operator's words for an input problem; "" for None.
const char* inputProblemText(InputProblem problem);

struct LookupResult {
    // The address as given; left empty when it could not be read, so that bytes
    // which are no text never reach a terminal or a file.
    std::string input;
    InputProblem problem = InputProblem::None;
    MatchLevel level = MatchLevel::None;
    std::string pref, muni, town;
    BlockPoint point;
    // Nothing matched, or the address fits more than one place: the nearest towns
    // (longest common start), or the places it fits, as full names.
    bool ambiguous = false;
    std::vector<std::string> candidates;
};

}  // namespace mrk2
