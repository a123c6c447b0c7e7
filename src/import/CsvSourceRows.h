#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/LineReader.h"
#include "import/PositionLine.h"
#include "import/SourceRows.h"

namespace mrk2 {

// The rows of one CSV source, each line mapped by one column map: after the
// lines that come before the data (a known header, or the lines before the
// configured start line).
class CsvSourceRows : public SourceRows {
  public:
    // Reads the first line, and the rest of those before the data. Throws
    // mrk2::Error.
    CsvSourceRows(std::unique_ptr<ByteSource> bytes, const CsvColumnMap& columns,
                  int linesBeforeData);

    bool next(PositionRow& row) override;
    std::uint64_t bytesRead() const override { return reader_.bytesRead(); }

  private:
    LineReader reader_;
    CsvColumnMap columns_;
    std::string line_;
    bool pending_ = false;  // line_ holds the first line, not yet mapped
    std::vector<std::string_view> fields_;
};

}  // namespace mrk2
