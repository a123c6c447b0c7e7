#pragma once
// Reverse lookup: the addresses of a region nearest to a point.
//
//   #include "lookup/ReverseLookup.h"
//   mrk2::ReverseLookup reverse(regionDbPath);  // once per region file; throws mrk2::Error
//   mrk2::ReverseQuery query{35.6812, 139.7671};  // latitude, longitude in degrees
//   query.limit = 5;                              // default 1
//   query.maxMetres = 1000;                       // default 1,000 m
//   std::vector<mrk2::NearbyAddress> found = reverse.nearest(query);  // nearest first
//
// One ReverseLookup serves any number of threads at once: nearest() is const and
// thread-safe. Each call borrows one of the object's own read-only connections
// and gives it back; a call that finds none idle opens another, so N threads end
// up holding N connections, and none waits for another's query. An empty answer
// means nothing lies within maxMetres (the CLI's exit 1).
//
// The object reads the file it opened until it is destroyed, also after a writer
// renamed a new region over that name (the old file stays readable, whole, to
// its open connections). To serve a replaced region, make a new ReverseLookup
// when DatabaseChangeWatch reports the file changed and drop the old one once
// the calls that use it have returned (a shared_ptr does both).
//
// The answers come from the region's point index (PointIndex.h), built with the
// region inside the same atomic replace. A region file older than the index has
// none: the constructor throws Error 10007, and the next update of the region
// builds it. Texts for a point typed by a person: PointText.h.
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lookup/LookupResult.h"

namespace mrk2 {

struct ReverseQuery {
    double lat = 0, lon = 0;  // degrees; -90..90 and -180..180
    std::size_t limit = 1;    // 1..kMaxLimit
    double maxMetres = 1000;  // great-circle distance; > 0 and <= kMaxMetres

    static constexpr std::size_t kMaxLimit = 1000;
    static constexpr double kMaxMetres = 100000;
};

// One answer: the fields and level an address lookup gives (level is 住居, 地番,
// 街区, or 大字・町丁目 for a row without a block number; `input` stays empty),
// and its great-circle distance from the query point.
struct NearbyAddress {
    LookupResult address;
    double metres = 0;
};

class ReverseLookup {
  public:
    // Opens the region read-only and reads its towns. Throws mrk2::Error: the
    // file cannot be read, or it has no point index (10007).
    explicit ReverseLookup(const std::string& dbPath);
    ~ReverseLookup();
    ReverseLookup(const ReverseLookup&) = delete;
    ReverseLookup& operator=(const ReverseLookup&) = delete;

    // Up to query.limit rows nearest to the point within query.maxMetres, nearest
    // first; ties in the order of the index. Throws mrk2::Error: 10010 for a
    // query out of range, a database error otherwise.
    std::vector<NearbyAddress> nearest(const ReverseQuery& query) const;

    const std::string& path() const { return path_; }

  private:
    struct Towns;
    struct Reader;
    std::unique_ptr<Reader> borrow() const;
    void giveBack(std::unique_ptr<Reader> reader) const;

    std::string path_;
    std::shared_ptr<const Towns> towns_;
    mutable std::mutex idleLock_;
    mutable std::vector<std::unique_ptr<Reader>> idle_;
};

}  // namespace mrk2
