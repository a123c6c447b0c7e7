#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lookup/LookupResult.h"

namespace mrk2 {

class Database;

// A POSITION row of a town: its id and the per-town table that holds its blocks.
struct TownPart {
    std::int64_t positionId = 0;
    std::string table;  // empty when POSITION names none
};

// A town as the region lists it: the rows of POSITION with the same prefecture,
// municipality and town name (a town delivered by two sources has two rows).
struct Town {
    std::string pref, muni;
    std::optional<std::string> name;  // NULL when the source gave no town
    std::vector<TownPart> parts;
    std::string fullName() const { return pref + muni + name.value_or(""); }
};

// Every town of a region in memory, in POSITION order, with the spellings an
// address may start with, normalised: prefecture + municipality + town, and each
// of them left out where that still names something (municipality + town, town,
// prefecture + town; municipality and prefecture alone for the coarser levels).
// A town ending in N丁目 may also be written N- ("丸の内1-2-3"), a town with or
// without a leading 大字 or 字, and a municipality of a 郡 without the 郡.
class TownDirectory {
  public:
    static TownDirectory load(Database& db);

    struct Group {
        std::string pref, muni;          // muni empty for a prefecture
        std::vector<std::size_t> towns;  // in POSITION order
    };

    // The longest spelling that the normalised address starts with, at the finest
    // level it names. More than one target means the address is ambiguous.
    struct Hit {
        MatchLevel level = MatchLevel::None;
        std::size_t length = 0;            // bytes of the address consumed
        std::vector<std::size_t> targets;  // towns, or groups for the coarser levels
    };
    std::optional<Hit> longestPrefix(std::string_view normalized) const;

    // Up to `limit` towns whose spellings share the longest start with the address.
    std::vector<std::size_t> closest(std::string_view normalized, std::size_t limit) const;

    const std::vector<Town>& towns() const { return towns_; }
    const Group& group(MatchLevel level, std::size_t index) const;

  private:
    struct Entry {
        MatchLevel level;
        std::size_t target;
        bool operator==(const Entry&) const = default;
    };
    void add(const std::string& key, Entry entry);
    void index();

    std::vector<Town> towns_;
    std::vector<Group> prefectures_;
    std::vector<Group> municipalities_;
    std::unordered_map<std::string, std::vector<Entry>> keys_;
    std::size_t longestKey_ = 0;                      // bytes
    std::vector<std::vector<std::string>> townKeys_;  // per town, for closest()
};

}  // namespace mrk2
