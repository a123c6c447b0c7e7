#pragma once
#include <string>

#include "import/AbrHeader.h"
#include "import/PositionLine.h"

namespace mrk2 {

class PeekedBytes;

// What a source is, as its first line tells it.
enum class SourceKind {
    MlitBlock,  // MLIT's block level: 街区, 14 columns
    MlitTown,  // MLIT's town level: 大字・町丁目, 10 columns, with its own 市区町村コード
    Registry,   // an Address Base Registry dataset or its _pos partner
    Configured  // a header this tool does not know: the configured columns and start line
};

// The sniffer's answer: the kind, and what its header says of the columns. A
// header is read by column names, never by position.
struct SniffedSource {
    SourceKind kind = SourceKind::Configured;
    CsvColumnMap columns;  // MlitBlock, MlitTown: where the header puts each value
    AbrHeader registry;    // Registry: the dataset, _pos or not, the header's generation

    // The layout's name as the operator sees it ("MLIT 街区レベル位置参照情報",
    // "mt_rsdtdsp_rsdt"); empty for the configured columns.
    std::string layoutName() const;
};

// Reads a source's first line (and the bytes that decide its encoding) once,
// leaving them to be read again by the rows. Throws mrk2::Error.
SniffedSource sniffSource(PeekedBytes& bytes);

}  // namespace mrk2
