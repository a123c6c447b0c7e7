#include "data/DatabaseChangeWatch.h"

#include <sys/stat.h>

#include <exception>

namespace mrk2 {

DatabaseChangeWatch::Identity DatabaseChangeWatch::identityOf(const std::string& path) {
    struct stat st {};
    Identity id;
    if (::stat(path.c_str(), &st) != 0)
        return id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.mtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    id.mtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return id;
}

std::optional<std::int64_t> DatabaseChangeWatch::dataVersion() {
    if (!kept_.isOpen())
        return std::nullopt;
    try {
        Statement st = kept_.prepare("PRAGMA data_version");
        if (st.step())
            return st.int64(0);
    } catch (const std::exception&) {
        // A file that cannot be read now tells no version: the file's
        // identity alone decides whether it changed.
    }
    return std::nullopt;
}

void DatabaseChangeWatch::accept(const std::string& path) {
    path_ = path;
    // Reopened each time, so that it watches the file that stands there now.
    kept_.close();
    seen_ = identityOf(path);
    if (seen_->exists) {
        try {
            kept_ = Database::open(path, Database::Mode::ReadOnly);
        } catch (const std::exception&) {
            // Not a database (yet): the file's identity alone is watched.
        }
    }
    version_ = dataVersion();
}

bool DatabaseChangeWatch::changed() {
    if (!seen_)
        return true;
    return identityOf(path_) != *seen_ || dataVersion() != version_;
}

}  // namespace mrk2
