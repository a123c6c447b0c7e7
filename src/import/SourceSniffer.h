#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "import/PositionLine.h"

namespace mrk2 {

// A published layout recognised by its header line.
struct KnownLayout {
    std::string name;  // how the operator sees it ("MLIT 街区レベル位置参照情報")
    CsvColumnMap layout;
};

// The layout whose header this first line is, found by column names (not by
// position): MLIT's block level (街区, 14 columns) and town level (大字・町丁目,
// 10 columns, with its own 市区町村コード). nullopt for any other line, which
// is then read by the configured columns and start line.
std::optional<KnownLayout> recognizeHeader(std::string_view firstLine);

}  // namespace mrk2
