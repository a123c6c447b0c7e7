#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/LineReader.h"
#include "import/ConfiguredColumns.h"
#include "import/SourceRows.h"

namespace mrk2 {

// The rows of one CSV source: a file whose first line is a header this tool
// knows is read by that layout, whatever the configured columns and start line
// say; any other file by the configured start line and columns.
class CsvSourceRows : public SourceRows {
  public:
    // Reads the first line to recognise the layout. Throws mrk2::Error.
    CsvSourceRows(std::unique_ptr<ByteSource> bytes, const ConfiguredColumns& configured);

    bool next(PositionRow& row) override;
    std::uint64_t bytesRead() const override { return reader_.bytesRead(); }

    // The known layout's name; empty when the configured columns are used.
    const std::string& layoutName() const { return layoutName_; }

  private:
    LineReader reader_;
    CsvColumnMap layout_;
    std::string layoutName_;
    std::string line_;
    bool pending_ = false;  // line_ holds the first line, not yet mapped
    std::vector<std::string_view> fields_;
};

}  // namespace mrk2
