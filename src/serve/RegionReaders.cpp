#include "serve/RegionReaders.h"

#include "data/RegionPoints.h"

namespace mrk2::serve {

RegionReaders::RegionReaders(std::string name, std::string path, std::size_t maxLookups)
    : name_(std::move(name)),
      path_(std::move(path)),
      maxLookups_(std::max<std::size_t>(1, maxLookups)) {}

RegionReaders::~RegionReaders() = default;

RegionReaders::Lease::Lease(RegionReaders& owner, std::unique_ptr<AddressLookup> lookup)
    : owner_(&owner), lookup_(std::move(lookup)) {}

RegionReaders::Lease::~Lease() {
    if (lookup_)
        owner_->giveBack(std::move(lookup_));
}

RegionReaders::Lease RegionReaders::lookup() {
    {
        std::unique_lock<std::mutex> hold(lock_);
        idleChanged_.wait(hold, [&] { return !idle_.empty() || made_ < maxLookups_; });
        if (!idle_.empty()) {
            auto lookup = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(lookup));
        }
        ++made_;
    }
    try {
        return Lease(*this, std::make_unique<AddressLookup>(path_));
    } catch (...) {
        std::lock_guard<std::mutex> hold(lock_);
        --made_;
        idleChanged_.notify_one();
        throw;
    }
}

void RegionReaders::giveBack(std::unique_ptr<AddressLookup> lookup) {
    std::lock_guard<std::mutex> hold(lock_);
    idle_.push_back(std::move(lookup));
    idleChanged_.notify_one();
}

std::shared_ptr<const ReverseLookup> RegionReaders::reverse() {
    std::lock_guard<std::mutex> hold(reverseLock_);
    if (!reverse_)
        reverse_ = std::make_shared<const ReverseLookup>(path_);
    return reverse_;
}

const RegionSnapshot& RegionReaders::snapshot() {
    std::lock_guard<std::mutex> hold(infoLock_);
    if (!snapshot_)
        snapshot_ = readRegionSnapshot(path_);
    return *snapshot_;
}

const std::vector<RegionReaders::Point>& RegionReaders::sample() {
    std::lock_guard<std::mutex> hold(infoLock_);
    if (!sample_) {
        const RegionPoints all = readRegionPoints(path_);
        const std::size_t step = all.points.size() / kSamplePoints + 1;
        std::vector<Point> points;
        for (std::size_t i = 0; i < all.points.size(); i += step)
            points.push_back({all.points[i].lat, all.points[i].lon});
        sample_ = std::move(points);
    }
    return *sample_;
}

}  // namespace mrk2::serve
