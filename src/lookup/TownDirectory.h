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
//
// Some spellings are looser, and stand back wherever a town's own spelling
// (or a municipality's, or a prefecture's) is the same: a town without its
// ending 町 ("桜" for 桜町, "本3丁目" for 本町三丁目); the number before 番 in
// digits and a final 丁 as 町 ("1番町" for 一番丁); and the town of a 丁目 by its
// bare number ("緑ケ丘2" for 緑ケ丘二丁目), where no town is named without the
// 丁目 and the number is not followed by 番, 号 or 番地.
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

    // A town of the municipality `group` written without its leading part: the
    // towns whose name ends with a spelling that begins `rest`, with which the
    // name of no other town of the municipality ends ("須田町" for 神田須田町).
    // The longest such spelling wins; more than one town means ambiguous.
    struct SuffixHit {
        std::size_t length = 0;            // bytes of `rest` consumed
        std::vector<std::size_t> targets;  // towns
    };
    std::optional<SuffixHit> bySuffix(std::size_t group, std::string_view rest) const;

    // Up to `limit` towns whose spellings share the longest start with the address.
    std::vector<std::size_t> closest(std::string_view normalized, std::size_t limit) const;

    const std::vector<Town>& towns() const { return towns_; }
    const Group& group(MatchLevel level, std::size_t index) const;

  private:
    // Name: a spelling of the place itself. Loose: one that stands back where
    // a Name is the same. BareChome: a loose spelling that a following 番, 号
    // or 番地 does not continue.
    enum class Form { Name, Loose, BareChome };
    struct Entry {
        MatchLevel level;
        std::size_t target;
        Form form = Form::Name;
        bool operator==(const Entry&) const = default;
    };
    void add(const std::string& key, Entry entry);
    void index();
    void addLooseSpellings();

    std::vector<Town> towns_;
    std::vector<Group> prefectures_;
    std::vector<Group> municipalities_;
    std::unordered_map<std::string, std::vector<Entry>> keys_;
    std::size_t longestKey_ = 0;                      // bytes
    std::vector<std::vector<std::string>> townKeys_;  // per town, for closest()
    // Per town: the normalised prefecture, municipality spellings and name, and
    // the municipality's group ("" and no spellings for a nameless town).
    struct Spelled {
        std::string pref;
        std::vector<std::string> munis;
        std::string name;
        std::size_t group = 0;
    };
    std::vector<Spelled> spelled_;
};

}  // namespace mrk2
