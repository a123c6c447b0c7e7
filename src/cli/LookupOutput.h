#pragma once
#include <optional>
#include <ostream>

#include "lookup/LookupResult.h"

namespace mrk2::cli {

enum class LookupFormat { Tsv, Json, GeoJson };

// Writes lookup answers as they come, in one of three forms:
// - tab-separated with a header line; an address without an answer is a row
//   whose level reads 不一致 (入力エラー for an address that could not be read),
//   so that rows stay in the order of the addresses; control characters escaped;
// - JSON: one object, or an array of them when `many`; coordinates as numbers;
// - GeoJSON: a FeatureCollection of points, null geometry when unmatched.
// With `distances` (reverse lookup) every answer carries its 距離 in metres, and
// the tab-separated form begins each row with its 入力.
class LookupWriter {
  public:
    LookupWriter(std::ostream& out, LookupFormat format, bool many, bool distances = false);
    void write(const LookupResult& result, std::optional<double> metres = std::nullopt);
    // Closes the array or collection; call once after the last answer.
    void finish();

  private:
    std::ostream& out_;
    LookupFormat format_;
    bool many_;
    bool distances_;
    int written_ = 0;
};

}  // namespace mrk2::cli
