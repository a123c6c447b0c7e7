#include "app/SourceFile.h"

#include <sys/stat.h>

#include <set>
#include <utility>

#include "app/Paths.h"

namespace mrk2 {

bool sourceChanged(const std::optional<std::string>& recordedDate,
                   const std::optional<std::string>& currentDate) {
    return !currentDate || recordedDate != currentDate;
}

std::vector<SourceFile> dropRepeatedSources(std::vector<SourceFile>& sources) {
    std::vector<SourceFile> kept;
    std::vector<SourceFile> dropped;
    std::set<std::pair<dev_t, ino_t>> seenFiles;
    std::set<std::string> seenPaths;
    for (const SourceFile& f : sources) {
        const std::string path = joinPath(f.dir, f.file);
        struct stat st {};
        bool repeated = !seenPaths.insert(path).second;
        if (::stat(path.c_str(), &st) == 0)
            repeated = !seenFiles.insert({st.st_dev, st.st_ino}).second || repeated;
        (repeated ? dropped : kept).push_back(f);
    }
    sources = std::move(kept);
    return dropped;
}

}  // namespace mrk2
