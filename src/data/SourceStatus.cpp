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
        s.changed = sourceChanged(s.recordedDate, s.currentDate);
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace mrk2
