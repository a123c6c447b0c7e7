#pragma once
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
class LookupWriter {
  public:
    LookupWriter(std::ostream& out, LookupFormat format, bool many);
    void write(const LookupResult& result);
    // Closes the array or collection; call once after the last answer.
    void finish();

  private:
    std::ostream& out_;
    LookupFormat format_;
    bool many_;
    int written_ = 0;
};

}  // namespace mrk2::cli
