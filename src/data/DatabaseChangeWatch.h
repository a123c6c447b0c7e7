#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "data/Database.h"

namespace mrk2 {

// Tells whether a database file has changed since the watcher last took it as
// seen: another connection committed to it (PRAGMA data_version on a connection
// kept open for this alone), or the file under that name is another one, has
// gone, or has another size or modification time (a rebuilt base database is
// renamed over the old one, which the kept connection would never notice).
class DatabaseChangeWatch {
  public:
    // Takes `path` as it is now as seen; a missing file is a state too.
    void accept(const std::string& path);
    // Whether the file has changed since accept(). True before the first accept().
    bool changed();

  private:
    struct Identity {
        bool exists = false;
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t mtimeSec = 0, mtimeNsec = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity identityOf(const std::string& path);
    std::optional<std::int64_t> dataVersion();

    std::string path_;
    std::optional<Identity> seen_;
    Database kept_;
    std::optional<std::int64_t> version_;
};

}  // namespace mrk2
