#include "data/SourceStatus.h"

#include "app/Paths.h"

namespace mrk2 {

std::vector<SourceStatus> compareSources(const std::vector<SourceFile>& files,
                                         const std::vector<std::optional<std::string>>& dates) {
    std::vector<SourceStatus> out;
    out.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SourceStatus s;
        s.source = files[i];
        if (i < dates.size())
            s.recordedDate = dates[i];
        std::string path = joinPath(files[i].dir, files[i].file);
        if (fileExists(path))
            s.currentDate = fileModifiedText(path);
        // A file put back with an older date counts as changed just as a newer one
        // does; a file that is gone has to be looked at as well.
        s.changed = !s.currentDate || s.recordedDate != s.currentDate;
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace mrk2
