#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "import/PositionLine.h"

namespace mrk2 {

class AbrPairReader;
class MunicipalityMaster;
class PlaneProjector;

// One registry row with its position, as the twelve values of a position line,
// written as MLIT writes them, so that a region holding MLIT and registry rows
// has one name per town:
// - 市区町村名 is county + city + ward; 大字・町丁目 is oaza_cho + chome with the
//   chome's number in kanji (１丁目 → 一丁目), or koaza when both are empty;
// - 街区・番地 is blk_num for a block, blk_num-rsdt_num[-rsdt_num2] for a house,
//   prc_num1[-prc_num2[-prc_num3]] for a parcel, without leading zeros or empty
//   parts, and empty for a town point; 住居表示フラグ 1 for blocks and houses,
//   0 for parcels; 代表フラグ 1 for a town point only;
// - 緯度/経度 as published; 座標系番号 and Ｘ/Ｙ座標 (metres, one decimal) in the
//   plane rectangular zone of the municipality, in the datum of rep_srid.
class AbrPositionRow {
  public:
    // Throws mrk2::Error (FormatError::RegistryFile) when the master does not know
    // the row's lg_code or the rep_srid's datum; FormatError::NotANumber or
    // FormatError::OutOfRange for a latitude or longitude that is no finite
    // decimal in range, naming the _pos file, its line and column.
    AbrPositionRow(const AbrPairReader& pair, const MunicipalityMaster& master,
                   PlaneProjector& projector);

    // Views into this row, valid while it lives; the mesh code stays NULL.
    PositionValues values() const;
    const std::string& value(PositionEntry e) const { return values_[e]; }

  private:
    void project(const AbrPairReader& pair, PlaneProjector& projector);

    PerEntry<std::string> values_;
};

// Whether a registry lg_code is six digits whose last is the check digit of the
// five before it (131059: 文京区).
bool isLgCode(std::string_view code);

// "１丁目" → "一丁目", "12丁目" → "十二丁目"; other text unchanged.
std::string chomeInKanji(std::string_view chome);

}  // namespace mrk2
