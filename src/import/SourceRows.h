#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/SourceFile.h"
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

    // What a source tells after its rows, beside them; the defaults are a
    // source that has nothing more to tell.

    // What the person is told of the source after the run: rows read but not
    // stored, and why.
    virtual std::optional<std::string> note() const { return std::nullopt; }
    // Whether the run tells the rows it read by kind (houses, blocks, parcels).
    virtual bool toldByKind() const { return false; }
    // Rows read that had no position, and so were not stored.
    virtual std::int64_t rowsWithoutPosition() const { return 0; }
    // For a source with no rows of its own, whose rows come in with another
    // one: that source.
    virtual std::optional<SourceFile> rowsComeWith() const { return std::nullopt; }
};

}  // namespace mrk2
