#include "data/SourceStatus.h"

#include "base/Error.h"

namespace mrk2 {

std::vector<SourceStatus> compareSources(const std::vector<SourceFile>& files,
                                         const std::vector<std::optional<std::string>>& dates) {
    std::vector<SourceStatus> out;
    out.reserve(files.size());
    SourceReader reader;
    for (std::size_t i = 0; i < files.size(); ++i) {
        SourceStatus s;
        s.source = files[i];
        if (i < dates.size())
            s.recordedDate = dates[i];
        try {
            s.currentDate = reader.date(files[i]);
        } catch (const Error&) {
            // A damaged archive: its members read as not there, so changed.
        }
        s.changed = sourceChanged(s.recordedDate, s.currentDate);
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace mrk2
