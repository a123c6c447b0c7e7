#pragma once
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "data/RegionSnapshot.h"
#include "lookup/AddressLookup.h"
#include "lookup/ReverseLookup.h"

namespace mrk2::serve {

// The readers of one version of one region file. An AddressLookup keeps caches
// and is no thread's to share, so requests borrow one at a time, up to a bound
// (more would only take memory: the work is CPU-bound); a request that finds
// all busy waits for one. The objects keep the file they opened open, so that a
// version replaced by a rename is read whole until its last borrower is done.
class RegionReaders {
  public:
    RegionReaders(std::string name, std::string path, std::size_t maxLookups);
    ~RegionReaders();

    class Lease {
      public:
        Lease(RegionReaders& owner, std::unique_ptr<AddressLookup> lookup);
        Lease(Lease&&) = default;
        ~Lease();
        AddressLookup& operator*() const { return *lookup_; }
        AddressLookup* operator->() const { return lookup_.get(); }

      private:
        RegionReaders* owner_;
        std::unique_ptr<AddressLookup> lookup_;
    };
    // Throws mrk2::Error when the file cannot be read as a region.
    Lease lookup();

    // The reverse lookup of this version, made on first use; it serves every
    // thread at once. Throws mrk2::Error (10007 for a region without its index).
    std::shared_ptr<const ReverseLookup> reverse();

    // Names, counts and sources, read once per version.
    const RegionSnapshot& snapshot();
    // Up to kSamplePoints of the region's points, evenly spread: the page's map.
    struct Point {
        float lat = 0, lon = 0;
    };
    const std::vector<Point>& sample();
    static constexpr std::size_t kSamplePoints = 4000;

    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }

  private:
    void giveBack(std::unique_ptr<AddressLookup> lookup);

    std::string name_, path_;
    std::size_t maxLookups_;
    std::mutex lock_;
    std::condition_variable idleChanged_;
    std::vector<std::unique_ptr<AddressLookup>> idle_;
    std::size_t made_ = 0;
    std::mutex reverseLock_;
    std::shared_ptr<const ReverseLookup> reverse_;
    std::mutex infoLock_;
    std::optional<RegionSnapshot> snapshot_;
    std::optional<std::vector<Point>> sample_;
};

}  // namespace mrk2::serve
