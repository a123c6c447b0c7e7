#pragma once
#include <string>
#include <vector>

#include "base/SourceFile.h"
#include "import/ConfiguredColumns.h"

namespace mrk2 {

// The sources of one prefecture in a national build: they become the region
// named by the prefecture ("和歌山県").
struct PrefectureGroup {
    std::string prefecture;
    std::vector<SourceFile> sources;  // in the order they were given
};

// A path given for a national build whose prefecture could not be read (a
// damaged archive, a file that is not there): it becomes no region, and the
// build reports it as failed.
struct UnreadablePath {
    std::string path;
    std::string error;  // the standard error text
};

struct PrefectureGrouping {
    std::vector<PrefectureGroup> groups;  // in the order of their first source
    std::vector<UnreadablePath> unreadable;
};

// The paths of a national build, each a zip archive, a CSV file or a directory
// (every .zip and .csv in it, by name), grouped by the prefecture of each
// source's first data row (都道府県名). An archive whose members all name one
// prefecture is one group; a source repeated through another path is kept once.
PrefectureGrouping groupByPrefecture(const std::vector<std::string>& paths,
                                     const ConfiguredColumns& layout);

}  // namespace mrk2
