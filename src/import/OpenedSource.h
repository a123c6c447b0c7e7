#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/SourceFile.h"
#include "import/ConfiguredColumns.h"
#include "import/SourceRows.h"

namespace mrk2 {

// A source's rows in the layout its first line chooses (see sniffSource): a
// registry dataset joined with its partner, a known MLIT header's columns, or
// the configured ones.
struct OpenedSource {
    std::unique_ptr<SourceRows> rows;
    // Which layout: the registry dataset's name, a known header's name, or
    // empty for the configured columns.
    std::string layout;
};

// Opens (an archive member: unpacks) the source once: the bytes its first line
// was sniffed from are read again by its rows. Throws mrk2::Error naming the
// source.
OpenedSource openSourceRows(SourceReader& sources, const SourceFile& source,
                            const ConfiguredColumns& configured);

// The files a source's rows may be read from (the source, and a registry
// file's partner): where a fault met reading them may lie.
std::vector<SourceFile> filesReadFor(const SourceFile& source);

}  // namespace mrk2
