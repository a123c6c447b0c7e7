#include "import/PrefectureGroups.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "import/OpenedSource.h"
#include "import/PrefectureRegion.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

namespace fs = std::filesystem;

bool hasSourceSuffix(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".zip" || ext == ".csv";
}

// A directory stands for its archives and CSV files, in name order so that a
// build's regions come out the same on every machine.
std::vector<std::string> expandDirectories(const std::vector<std::string>& paths) {
    std::vector<std::string> out;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            out.push_back(path);
            continue;
        }
        std::vector<std::string> inside;
        for (const fs::directory_entry& e : fs::directory_iterator(path, ec)) {
            // Not only regular files: a FIFO or device named *.csv is reported
            // as what it is, not passed over in silence.
            if (!e.is_directory(ec) && hasSourceSuffix(e.path()))
                inside.push_back(e.path().string());
        }
        std::sort(inside.begin(), inside.end());
        out.insert(out.end(), inside.begin(), inside.end());
    }
    return out;
}

// The prefecture of a source's first data row, read in the source's own layout.
// A source with no rows of its own (a registry _pos file) goes with the one its
// rows come in with (its dataset).
// Throws mrk2::Error.
std::string prefectureOf(SourceReader& reader, const SourceFile& source,
                         const ConfiguredColumns& layout) {
    OpenedSource opened = openSourceRows(reader, source, layout);
    PositionRow row;
    if (opened.rows->next(row) && row.values[Pref]) {
        // The name becomes a file name and a catalog row: a row may not name
        // the base database, a work file or a path.
        std::string pref(*row.values[Pref]);
        checkPrefectureRegion(pref, source.path());
        return pref;
    }
    if (const std::optional<SourceFile> carrier = opened.rows->rowsComeWith())
        return prefectureOf(reader, *carrier, layout);
    throw Error(FormatError::NotFound, "都道府県名のある行がありません。", source.path());
}

}  // namespace

PrefectureGrouping groupByPrefecture(const std::vector<std::string>& paths,
                                     const ConfiguredColumns& layout) {
    PrefectureGrouping grouping;
    std::map<std::string, std::size_t> indexOf;
    SourceReader reader;
    for (const std::string& path : expandDirectories(paths)) {
        std::vector<std::pair<std::string, SourceFile>> found;
        std::vector<SourceFile> members;
        try {
            refuseWhatIsNoReadableFile(path);
            members = sourcesOf(path);
            for (const SourceFile& f : members)
                found.emplace_back(prefectureOf(reader, f, layout), f);
        } catch (const Error& e) {
            grouping.unreadable.push_back({path, errorText(reader.damageFirst(members, e), path)});
            continue;
        } catch (const std::exception& e) {
            grouping.unreadable.push_back({path, errorText(e, path)});
            continue;
        }
        for (auto& [pref, source] : found) {
            auto [it, added] = indexOf.emplace(pref, grouping.groups.size());
            if (added)
                grouping.groups.push_back({pref, {}});
            grouping.groups[it->second].sources.push_back(std::move(source));
        }
    }
    for (PrefectureGroup& g : grouping.groups)
        dropRepeatedSources(g.sources);
    return grouping;
}

}  // namespace mrk2
