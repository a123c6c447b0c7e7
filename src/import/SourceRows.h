#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "import/PositionLine.h"

namespace mrk2 {

// One row of position values from a source, whatever its layout.
struct PositionRow {
    PositionValues values;  // NULL where the layout has no such value
    // The municipality code the row carries itself, when its layout has one.
    std::optional<std::string_view> code;
};

// The rows of one source in its own layout (a CSV line mapping, or a join of
// several files): what the loader reads, without knowing where rows come from.
// The views of a row stay valid until the next call of next().
class SourceRows {
  public:
    virtual ~SourceRows() = default;
    // The next row; false at the end. Throws mrk2::Error naming the line.
    virtual bool next(PositionRow& row) = 0;
    // Bytes of the source read so far, for progress.
    virtual std::uint64_t bytesRead() const = 0;
};

}  // namespace mrk2
