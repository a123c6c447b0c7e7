#include "lookup/AddressLookup.h"

#include "base/Utf8.h"
#include "lookup/AddressNormalizer.h"
#include "lookup/RowChoice.h"

namespace mrk2 {

namespace {

// The address after its town: whether it said 番地, and its numbers with plain
// separators, as the rows are written.
struct Rest {
    std::string numbers;
    bool parcelWritten = false;
};

Rest plainRest(std::string_view marked) {
    Rest rest{std::string(marked), false};
    for (char& c : rest.numbers) {
        if (c == kParcelMark)
            rest.parcelWritten = true;
        if (isAddressSeparator(c))
            c = kAddressSeparator;
    }
    return rest;
}

}  // namespace

AddressLookup::AddressLookup(const std::string& dbPath)
    : db_(Database::open(dbPath, Database::Mode::ReadOnly)),
      directory_(TownDirectory::load(db_)),
      blocks_(db_) {}

const AddressLookup::TownRows& AddressLookup::rowsOf(std::size_t town) {
    auto it = townRows_.find(town);
    if (it != townRows_.end())
        return it->second;
    TownRows t;
    t.rows = blocks_.list(directory_.towns()[town]);
    t.numbers.reserve(t.rows.size());
    for (const BlockRef& b : t.rows)
        t.numbers.push_back(rowNumber(b.block));
    if (cachedRows_ + t.rows.size() > kCachedRows) {
        townRows_.clear();
        cachedRows_ = 0;
    }
    cachedRows_ += t.rows.size();
    return townRows_.emplace(town, std::move(t)).first->second;
}

std::optional<BlockPoint> AddressLookup::representative(std::size_t town) {
    auto it = representatives_.find(town);
    if (it != representatives_.end())
        return it->second;
    std::optional<BlockRef> chosen;
    for (const BlockRef& b : rowsOf(town).rows) {
        if (b.representative) {
            chosen = b;
            break;
        }
        if (!chosen)
            chosen = b;
    }
    std::optional<BlockPoint> point;
    if (chosen)
        point = blocks_.point(*chosen);
    representatives_.emplace(town, point);
    return point;
}

void AddressLookup::answerTown(std::size_t index, std::string_view rest, LookupResult& result) {
    const Town& town = directory_.towns()[index];
    result.pref = town.pref;
    result.muni = town.muni;
    result.town = town.name.value_or("");
    const Rest plain = plainRest(rest);
    const TownRows& rows = rowsOf(index);
    if (auto choice = chooseRow(rows.rows, rows.numbers, plain.numbers, plain.parcelWritten)) {
        result.level = choice->level;
        result.point = blocks_.point(rows.rows[choice->row]);
        if (choice->blockOnly)
            result.point.block = *choice->blockOnly;
        return;
    }
    result.level = MatchLevel::Town;
    if (auto point = representative(index)) {
        result.point = std::move(*point);
        result.point.block.clear();  // the point stands for the town, not for this block
    }
}

void AddressLookup::answerGroup(const TownDirectory::Group& group, LookupResult& result) {
    result.pref = group.pref;
    result.muni = group.muni;
    for (std::size_t t : group.towns) {
        if (auto point = representative(t)) {
            result.point = std::move(*point);
            result.point.block.clear();
            return;
        }
    }
}

LookupResult AddressLookup::find(std::string_view address) {
    LookupResult result;
    if (!isValidUtf8(address)) {
        result.problem = InputProblem::NotUtf8;
        return result;
    }
    if (utf8::characterCount(address) > kMaxAddressCharacters) {
        result.problem = InputProblem::TooLong;
        return result;
    }
    result.input = std::string(address);
    // 番, 号 and 番地 stay marked until the town is found: "本町2番" is block 2 of
    // 本町, and never the 本町2- that stands for 本町二丁目.
    const std::string n = normalizeAddress(address, SeparatorMarks::Kept);
    auto hit = directory_.longestPrefix(n);
    if (!hit) {
        for (std::size_t t : directory_.closest(n, kCandidates))
            result.candidates.push_back(directory_.towns()[t].fullName());
        return result;
    }
    if (hit->targets.size() > 1) {
        result.ambiguous = true;
        for (std::size_t target : hit->targets) {
            if (hit->level == MatchLevel::Town) {
                result.candidates.push_back(directory_.towns()[target].fullName());
            } else {
                const auto& g = directory_.group(hit->level, target);
                result.candidates.push_back(g.pref + g.muni);
            }
        }
        return result;
    }
    // A municipality followed by a town written without its leading part.
    if (hit->level == MatchLevel::Municipality) {
        const std::string_view rest = std::string_view(n).substr(hit->length);
        if (auto town = directory_.bySuffix(hit->targets.front(), rest)) {
            if (town->targets.size() == 1) {
                answerTown(town->targets.front(), rest.substr(town->length), result);
                return result;
            }
            result.ambiguous = true;
            for (std::size_t t : town->targets)
                result.candidates.push_back(directory_.towns()[t].fullName());
            return result;
        }
    }
    if (hit->level == MatchLevel::Town) {
        answerTown(hit->targets.front(), std::string_view(n).substr(hit->length), result);
    } else {
        result.level = hit->level;
        answerGroup(directory_.group(hit->level, hit->targets.front()), result);
    }
    return result;
}

MatchLevel AddressLookup::reach(std::string_view address) const {
    if (!isValidUtf8(address) || utf8::characterCount(address) > kMaxAddressCharacters)
        return MatchLevel::None;
    auto hit = directory_.longestPrefix(normalizeAddress(address, SeparatorMarks::Kept));
    return hit ? hit->level : MatchLevel::None;
}

}  // namespace mrk2
