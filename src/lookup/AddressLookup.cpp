#include "lookup/AddressLookup.h"

#include "app/Cp932.h"
#include "lookup/AddressNormalizer.h"

namespace mrk2 {

namespace {

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// The rest of an address after its town, without the separators around it.
std::string_view trimSeparators(std::string_view s) {
    while (!s.empty() && s.front() == kAddressSeparator)
        s.remove_prefix(1);
    while (!s.empty() && s.back() == kAddressSeparator)
        s.remove_suffix(1);
    return s;
}

// Whether a block number begins the rest: "1-2" begins "1-2-3" and "1-2ビル",
// never "1-23".
bool startsWithBlock(std::string_view rest, std::string_view block) {
    if (block.empty() || rest.substr(0, block.size()) != block)
        return false;
    return rest.size() == block.size() || !isAsciiDigit(rest[block.size()]) ||
           !isAsciiDigit(block.back());
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

AddressLookup::AddressLookup(const std::string& dbPath)
    : db_(Database::open(dbPath, Database::Mode::ReadOnly)),
      directory_(TownDirectory::load(db_)),
      blocks_(db_) {}

std::optional<BlockPoint> AddressLookup::representative(std::size_t town) {
    auto it = representatives_.find(town);
    if (it != representatives_.end())
        return it->second;
    std::optional<BlockRef> chosen;
    for (BlockRef& b : blocks_.list(directory_.towns()[town])) {
        if (b.representative) {
            chosen = std::move(b);
            break;
        }
        if (!chosen)
            chosen = std::move(b);
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
    rest = trimSeparators(rest);
    if (!rest.empty()) {
        std::optional<BlockRef> best;
        std::size_t bestLength = 0;
        for (BlockRef& b : blocks_.list(town)) {
            const std::string normalized = normalizeAddress(b.block);
            std::string_view key = trimSeparators(normalized);
            if (key.size() > bestLength && startsWithBlock(rest, key)) {
                bestLength = key.size();
                best = std::move(b);
            }
        }
        if (best) {
            result.level = MatchLevel::Block;
            result.point = blocks_.point(*best);
            return;
        }
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
    if (characterCount(address) > kMaxAddressCharacters) {
        result.problem = InputProblem::TooLong;
        return result;
    }
    result.input = std::string(address);
    const std::string n = normalizeAddress(address);
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
    if (hit->level == MatchLevel::Town) {
        answerTown(hit->targets.front(), std::string_view(n).substr(hit->length), result);
    } else {
        result.level = hit->level;
        answerGroup(directory_.group(hit->level, hit->targets.front()), result);
    }
    return result;
}

}  // namespace mrk2
