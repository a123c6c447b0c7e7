#include "import/TownGroups.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>
#include <utility>

namespace mrk2 {

using enum PositionEntry;

namespace {

// Lines are kept in blocks of this size, or of an eighth of a smaller budget.
constexpr std::size_t kMaxBlockBytes = 1 << 20;
constexpr std::size_t kMinBlockBytes = 4 << 10;
// The values after the town's three: block number to representative flag.
constexpr std::size_t kFirstRowEntry = static_cast<std::size_t>(Block);
// A town costs its names, its map entry and its place in the lists.
constexpr std::size_t kTownOverhead = 160;

// A value's length takes one byte; the values of a position line are short,
// and a line with a longer one takes the other way.
constexpr std::size_t kMaxValueBytes = UINT8_MAX;

void appendPart(std::string& key, std::string_view part) {
    auto n = static_cast<std::uint32_t>(part.size());
    key.append(reinterpret_cast<const char*>(&n), sizeof n);
    key.append(part);
}

}  // namespace

TownGroups::Block::Block(std::size_t bytes) : size_(bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<char*>(p);
}

TownGroups::Block::Block(Block&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(other.size_) {}

TownGroups::Block::~Block() {
    if (data_)
        munmap(data_, size_);
}

TownGroups::TownGroups(std::size_t budgetBytes)
    : budget_(budgetBytes),
      blockBytes_(std::clamp(budgetBytes / 8, kMinBlockBytes, kMaxBlockBytes)) {}

std::string TownGroups::keyOf(const PositionValues& values) {
    std::string key;
    appendPart(key, *values[Pref]);
    appendPart(key, *values[Muni]);
    appendPart(key, values[Town].value_or(std::string_view()));
    return key;
}

char* TownGroups::reserve(std::size_t bytes) {
    if (blocks_.empty() || blockUsed_ + bytes > blockBytes_) {
        blocks_.emplace_back(blockBytes_);
        blockUsed_ = 0;
    }
    char* p = blocks_.back().data() + blockUsed_;
    blockUsed_ += bytes;
    return p;
}

bool TownGroups::add(const PositionValues& values, std::optional<std::string_view> code) {
    std::size_t bytes = sizeof(std::uint32_t);
    for (std::size_t e = kFirstRowEntry; e < kPositionEntries; ++e) {
        std::size_t n = values[static_cast<std::size_t>(e)].value_or(std::string_view()).size();
        if (n > kMaxValueBytes)
            return false;
        bytes += 1 + n;
    }
    // Whole blocks are what the memory holds; the row lists are counted twice
    // for the grouped order built later.
    std::size_t blocks = blocks_.size() + (blocks_.empty() || blockUsed_ + bytes > blockBytes_);
    std::string key = keyOf(values);
    auto found = townIndex_.find(key);
    std::size_t towns = towns_.size() + (found == townIndex_.end());
    std::size_t need = blocks * blockBytes_ + (rows_.size() + 1) * 2 * sizeof(const char*) +
                       towns * (kTownOverhead + key.size());
    if (need > budget_)
        return false;

    std::uint32_t town;
    if (found == townIndex_.end()) {
        town = static_cast<std::uint32_t>(towns_.size());
        towns_.push_back({std::string(*values[Pref]), std::string(*values[Muni]),
                          std::string(values[Town].value_or(std::string_view())),
                          code ? std::optional<std::string>(*code) : std::nullopt, 0, 0});
        townIndex_.emplace(std::move(key), town);
    } else {
        town = found->second;
    }
    ++towns_[town].count;
    char* record = reserve(bytes);
    char* p = record;
    std::memcpy(p, &town, sizeof town);
    p += sizeof town;
    for (std::size_t e = kFirstRowEntry; e < kPositionEntries; ++e) {
        std::string_view v = values[static_cast<std::size_t>(e)].value_or(std::string_view());
        *p++ = static_cast<char>(static_cast<unsigned char>(v.size()));
        std::memcpy(p, v.data(), v.size());
        p += v.size();
    }
    rows_.push_back(record);
    return true;
}

std::optional<std::string_view> TownGroups::lineCode(std::size_t line) const {
    std::uint32_t town;
    std::memcpy(&town, rows_[line], sizeof town);
    const std::optional<std::string>& code = towns_[town].code;
    return code ? std::optional<std::string_view>(*code) : std::nullopt;
}

PositionValues TownGroups::decode(const char* record) const {
    PositionValues values;
    const char* p = record + sizeof(std::uint32_t);
    for (std::size_t e = kFirstRowEntry; e < kPositionEntries; ++e) {
        std::size_t n = static_cast<unsigned char>(*p++);
        // A stored value is never empty: an empty one was a NULL.
        if (n > 0)
            values[static_cast<std::size_t>(e)] = std::string_view(p, n);
        p += n;
    }
    return values;
}

PositionValues TownGroups::lineValues(std::size_t line) const {
    const char* record = rows_[line];
    std::uint32_t town;
    std::memcpy(&town, record, sizeof town);
    PositionValues values = decode(record);
    const Group& t = towns_[town];
    values[Pref] = t.pref;
    values[Muni] = t.muni;
    if (!t.town.empty())
        values[Town] = t.town;
    return values;
}

void TownGroups::group() {
    // Towns in key order; a nameless town's "" sorts before every name.
    std::vector<std::uint32_t> order(towns_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Group& x = towns_[a];
        const Group& y = towns_[b];
        if (int c = x.pref.compare(y.pref))
            return c < 0;
        if (int c = x.muni.compare(y.muni))
            return c < 0;
        return x.town.compare(y.town) < 0;
    });
    std::vector<Group> sorted;
    sorted.reserve(towns_.size());
    std::vector<std::size_t> next(towns_.size());
    std::size_t first = 0;
    for (std::uint32_t index : order) {
        Group t = std::move(towns_[index]);
        t.first = first;
        next[index] = first;
        first += t.count;
        sorted.push_back(std::move(t));
    }
    // A stable counting sort: each town's rows keep their line order.
    grouped_.assign(rows_.size(), nullptr);
    for (const char* record : rows_) {
        std::uint32_t town;
        std::memcpy(&town, record, sizeof town);
        grouped_[next[town]++] = record;
    }
    towns_ = std::move(sorted);
    townIndex_.clear();
    rows_.clear();
    rows_.shrink_to_fit();
}

PositionValues TownGroups::groupedValues(std::size_t index) const {
    return decode(grouped_[index]);
}

void TownGroups::clear() {
    blocks_.clear();
    blockUsed_ = 0;
    townIndex_.clear();
    towns_.clear();
    std::vector<const char*>().swap(rows_);
    std::vector<const char*>().swap(grouped_);
}

}  // namespace mrk2
