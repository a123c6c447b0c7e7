#pragma once
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "data/DatabaseChangeWatch.h"
#include "serve/RegionReaders.h"

namespace mrk2::serve {

// The regions the server answers for: the catalog of DBDIR/mrk2.mdb, and for each
// region the readers of its file as it is now. Writers replace a region's file
// and the catalog by renaming a finished file over the old one, so a file is
// either the old version or the new one, whole: the shelf looks at the catalog
// and at a region's file at most every kRecheck, and a region whose file is
// another one (or gone) gets new readers; requests under way finish on the old.
class RegionShelf {
  public:
    RegionShelf(std::string dbDir, std::size_t lookupsPerRegion);

    // The catalog's regions whose file exists, in catalog order.
    std::vector<std::string> names();
    // The region's readers as its file is now; null when the catalog does not hold
    // the region or its file is gone.
    std::shared_ptr<RegionReaders> readers(const std::string& name);

    static constexpr std::chrono::milliseconds kRecheck{250};

  private:
    using Clock = std::chrono::steady_clock;
    struct FileIdentity {
        bool exists = false;
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t mtimeNs = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    static FileIdentity identityOf(const std::string& path);
    struct Shelved {
        FileIdentity identity;
        Clock::time_point checked;
        std::shared_ptr<RegionReaders> readers;
    };
    void refreshCatalog();  // under lock_

    std::string dbDir_;
    std::size_t lookupsPerRegion_;
    std::mutex lock_;
    DatabaseChangeWatch catalogWatch_;
    Clock::time_point catalogChecked_{};
    std::vector<std::string> catalog_;
    std::map<std::string, Shelved> regions_;
};

}  // namespace mrk2::serve
