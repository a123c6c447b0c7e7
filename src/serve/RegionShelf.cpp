#include "serve/RegionShelf.h"

#include <sys/stat.h>

#include <algorithm>

#include "base/FileNames.h"
#include "base/RegionName.h"
#include "data/Catalog.h"

namespace mrk2::serve {

RegionShelf::RegionShelf(std::string dbDir, std::size_t lookupsPerRegion)
    : dbDir_(std::move(dbDir)), lookupsPerRegion_(lookupsPerRegion) {}

RegionShelf::FileIdentity RegionShelf::identityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void RegionShelf::refreshCatalog() {
    const auto now = Clock::now();
    if (catalogChecked_ != Clock::time_point{} && now - catalogChecked_ < kRecheck)
        return;
    catalogChecked_ = now;
    const std::string base = files::baseDbPath(dbDir_);
    if (!catalogWatch_.changed())
        return;
    catalogWatch_.accept(base);
    std::vector<std::string> names;
    if (identityOf(base).exists) {
        // Only names that are region names reach a path: a catalog row is data.
        for (const CatalogRow& row : readCatalog(base)) {
            if (row.name && isUsableRegionName(*row.name) &&
                std::find(names.begin(), names.end(), *row.name) == names.end())
                names.push_back(*row.name);
        }
    }
    catalog_ = std::move(names);
}

std::vector<std::string> RegionShelf::names() {
    std::vector<std::string> catalog;
    {
        std::lock_guard<std::mutex> hold(lock_);
        refreshCatalog();
        catalog = catalog_;
    }
    std::vector<std::string> present;
    for (const std::string& name : catalog) {
        if (readers(name))
            present.push_back(name);
    }
    return present;
}

std::shared_ptr<RegionReaders> RegionShelf::readers(const std::string& name) {
    std::lock_guard<std::mutex> hold(lock_);
    refreshCatalog();
    if (std::find(catalog_.begin(), catalog_.end(), name) == catalog_.end()) {
        regions_.erase(name);
        return nullptr;
    }
    const auto now = Clock::now();
    Shelved& shelved = regions_[name];
    if (shelved.readers && now - shelved.checked < kRecheck)
        return shelved.readers;
    const std::string path = files::regionDbPath(dbDir_, name);
    const FileIdentity identity = identityOf(path);
    shelved.checked = now;
    if (!identity.exists) {
        regions_.erase(name);
        return nullptr;
    }
    if (!shelved.readers || !(identity == shelved.identity)) {
        shelved.identity = identity;
        shelved.readers = std::make_shared<RegionReaders>(name, path, lookupsPerRegion_);
    }
    return shelved.readers;
}

}  // namespace mrk2::serve
