#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/Database.h"
#include "lookup/LookupResult.h"
#include "lookup/TownBlocks.h"
#include "lookup/TownDirectory.h"

namespace mrk2 {

// Finds addresses in one region database, which it opens read-only and never
// changes. The towns are read into memory once, when the lookup is made; every
// find() after that costs a few hash look-ups and one read of the town's blocks.
//
// An address resolves by the longest prefecture / municipality / town spelling
// it starts with (see TownDirectory), then by the longest block number at the
// start of the rest. Both sides are compared in the form of normalizeAddress.
class AddressLookup {
  public:
    // Throws mrk2::Error when the database cannot be read.
    explicit AddressLookup(const std::string& dbPath);
    AddressLookup(const AddressLookup&) = delete;
    AddressLookup& operator=(const AddressLookup&) = delete;

    // Costs time in proportion to the address; an address longer than
    // kMaxAddressCharacters or not UTF-8 is answered with its problem, unread.
    LookupResult find(std::string_view address);

    std::size_t townCount() const { return directory_.towns().size(); }

    // How far the start of the address reaches in this region's names (prefecture,
    // municipality, town; None when it names nothing here), without reading any
    // block: what picks the region of an address when none is named.
    MatchLevel reach(std::string_view address) const;

    // How many nearest towns an unmatched address reports.
    static constexpr std::size_t kCandidates = 5;
    // No address is that long; a longer line is a file given by mistake.
    static constexpr std::size_t kMaxAddressCharacters = 1000;

  private:
    // A town's rows with their numbers as compared, kept for the next address
    // in the same town, up to kCachedRows rows over all towns.
    struct TownRows {
        std::vector<BlockRef> rows;
        std::vector<std::string> numbers;
    };
    const TownRows& rowsOf(std::size_t town);
    static constexpr std::size_t kCachedRows = 200000;

    std::optional<BlockPoint> representative(std::size_t town);
    void answerTown(std::size_t town, std::string_view rest, LookupResult& result);
    void answerGroup(const TownDirectory::Group& group, LookupResult& result);

    Database db_;
    TownDirectory directory_;
    TownBlocks blocks_;
    std::unordered_map<std::size_t, std::optional<BlockPoint>> representatives_;
    std::unordered_map<std::size_t, TownRows> townRows_;
    std::size_t cachedRows_ = 0;
};

}  // namespace mrk2
