#pragma once
#include <memory>
#include <string>

#include "base/SourceFile.h"
#include "import/AbrSourceRows.h"
#include "import/ConfiguredColumns.h"
#include "import/SourceRows.h"

namespace mrk2 {

// A source's rows in the layout its first line chooses: a registry dataset
// joined with its partner, else a CSV (a known MLIT header, or the configured
// columns). The source is opened (an archive member unpacked) once.
struct OpenedSource {
    std::unique_ptr<SourceRows> rows;
    AbrSourceRows* registry = nullptr;  // rows, when they are a registry pair's
    // Which layout: the registry dataset's name, a known header's name, or
    // empty for the configured columns.
    std::string layout;
};

// Throws mrk2::Error naming the source.
OpenedSource openSourceRows(SourceReader& sources, const SourceFile& source,
                            const ConfiguredColumns& layout);

}  // namespace mrk2
