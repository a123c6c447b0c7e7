#include "import/TownSort.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

namespace mrk2 {

using enum PositionEntry;

namespace {

// A run's row: the values after the town's three, each as one length byte
// (0 for a NULL: a kept value is never empty) and its bytes. TownGroups keeps
// no value longer than a length byte can say.
constexpr std::size_t kFirstRowEntry = static_cast<std::size_t>(Block);
constexpr std::size_t kMaxRowBytes = (kPositionEntries - kFirstRowEntry) * (1 + UINT8_MAX);
// Bytes written at a time, and read at a time from each run while merging.
constexpr std::size_t kWriteBytes = 1 << 20;
constexpr std::size_t kMinReadBytes = 4 * kMaxRowBytes;
constexpr std::size_t kMaxReadBytes = 1 << 20;
// The least memory a run keeps its lines in, in blocks (TownGroups).
constexpr std::size_t kMinRunBlocks = 4;

void encodeRow(const PositionValues& values, std::string& out) {
    for (std::size_t e = kFirstRowEntry; e < kPositionEntries; ++e) {
        std::string_view v = values[e].value_or(std::string_view());
        out.push_back(static_cast<char>(static_cast<unsigned char>(v.size())));
        out.append(v);
    }
}

bool townBefore(const TownGroups::Group& x, const TownGroups::Group& y) {
    if (int c = x.pref.compare(y.pref))
        return c < 0;
    if (int c = x.muni.compare(y.muni))
        return c < 0;
    return x.town.compare(y.town) < 0;
}

bool sameTown(const TownGroups::Group& x, const TownGroups::Group& y) {
    return x.pref == y.pref && x.muni == y.muni && x.town == y.town;
}

}  // namespace

// One sorted run in the work file: its rows' bytes and its towns in key order.
struct TownSort::Run {
    std::uint64_t offset = 0;
    std::uint64_t bytes = 0;
    std::vector<TownGroups::Group> towns;
    std::vector<std::size_t> mergedTown;  // each town's place in merged_
    std::size_t nextTown = 0;             // the first town nextRow() has not begun
};

// Reads one run's rows in order through a buffer of its own.
class TownSort::RunReader {
  public:
    RunReader(const ScratchFile& file, const Run& run, std::size_t bufferBytes)
        : file_(file), offset_(run.offset), end_(run.offset + run.bytes), buffer_(bufferBytes) {}

    PositionValues next() {
        if (len_ - pos_ < kMaxRowBytes && offset_ < end_)
            refill();
        PositionValues values;
        const char* p = buffer_.data() + pos_;
        for (std::size_t e = kFirstRowEntry; e < kPositionEntries; ++e) {
            std::size_t n = static_cast<unsigned char>(*p++);
            if (n > 0)
                values[e] = std::string_view(p, n);
            p += n;
        }
        pos_ = static_cast<std::size_t>(p - buffer_.data());
        return values;
    }

  private:
    void refill() {
        std::memmove(buffer_.data(), buffer_.data() + pos_, len_ - pos_);
        len_ -= pos_;
        pos_ = 0;
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(buffer_.size() - len_, end_ - offset_));
        const std::size_t got = file_.readAt(offset_, buffer_.data() + len_, want);
        offset_ += got;
        len_ += got;
    }

    const ScratchFile& file_;
    std::uint64_t offset_;
    std::uint64_t end_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

TownSort::TownSort(const MemoryBudget::Share& share, std::string scratchDir)
    : share_(share), scratchDir_(std::move(scratchDir)), groups_(share.bytes()) {}

TownSort::~TownSort() = default;

void TownSort::clear() {
    groups_.clear();
    readers_.clear();
    runs_.clear();
    merged_.clear();
    file_.reset();
    town_ = run_ = left_ = memoryRow_ = 0;
}

bool TownSort::add(const PositionValues& values, std::optional<std::string_view> code) {
    // A share that shrank below a few blocks (the run began before others
    // joined the budget) still keeps lines, in short runs; only no memory at
    // all sends the file to the staging table.
    const std::size_t share = share_.bytes();
    groups_.setBudget(share == 0 ? 0 : std::max(share, kMinRunBlocks * groups_.blockBytes()));
    if (groups_.add(values, code))
        return true;
    if (groups_.rows() == 0)
        return false;
    spill();
    return groups_.add(values, code);
}

void TownSort::spill() {
    if (!file_)
        file_ = std::make_unique<ScratchFile>(scratchDir_);
    groups_.group();
    Run run;
    run.offset = file_->size();
    run.towns = groups_.towns();
    std::string out;
    out.reserve(kWriteBytes + kMaxRowBytes);
    const std::size_t rows =
        groups_.towns().empty() ? 0 : groups_.towns().back().first + groups_.towns().back().count;
    for (std::size_t i = 0; i < rows; ++i) {
        encodeRow(groups_.groupedValues(i), out);
        if (out.size() >= kWriteBytes) {
            file_->append(out.data(), out.size());
            out.clear();
        }
    }
    file_->append(out.data(), out.size());
    run.bytes = file_->size() - run.offset;
    runs_.push_back(std::move(run));
    groups_.clear();
}

void TownSort::forEachKept(
    const std::function<void(const PositionValues&, std::optional<std::string_view>)>& each) {
    for (const Run& run : runs_) {
        RunReader reader(*file_, run, kMinReadBytes);
        for (const TownGroups::Group& t : run.towns) {
            const std::optional<std::string_view> code =
                t.code ? std::optional<std::string_view>(*t.code) : std::nullopt;
            for (std::size_t i = 0; i < t.count; ++i) {
                PositionValues values = reader.next();
                values[Pref] = t.pref;
                values[Muni] = t.muni;
                if (!t.town.empty())
                    values[Town] = t.town;
                each(values, code);
            }
        }
    }
    for (std::size_t i = 0; i < groups_.rows(); ++i)
        each(groups_.lineValues(i), groups_.lineCode(i));
}

void TownSort::group() {
    if (runs_.empty()) {
        groups_.group();
        return;
    }
    if (groups_.rows() > 0)
        spill();
    // Every run's towns, by key; of one town the earliest run comes first and
    // gives the code (that of the town's first line).
    struct Part {
        std::size_t run;
        std::size_t town;
    };
    std::vector<Part> parts;
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        runs_[r].mergedTown.resize(runs_[r].towns.size());
        for (std::size_t t = 0; t < runs_[r].towns.size(); ++t)
            parts.push_back({r, t});
    }
    const auto groupOf = [&](const Part& p) -> const TownGroups::Group& {
        return runs_[p.run].towns[p.town];
    };
    std::stable_sort(parts.begin(), parts.end(), [&](const Part& a, const Part& b) {
        return townBefore(groupOf(a), groupOf(b));
    });
    std::size_t first = 0;
    for (const Part& p : parts) {
        const TownGroups::Group& g = groupOf(p);
        if (merged_.empty() || !sameTown(merged_.back(), g)) {
            merged_.push_back({g.pref, g.muni, g.town, g.code, first, 0});
        }
        merged_.back().count += g.count;
        first += g.count;
        runs_[p.run].mergedTown[p.town] = merged_.size() - 1;
    }
    const std::size_t bufferBytes =
        std::clamp(share_.bytes() / runs_.size(), kMinReadBytes, kMaxReadBytes);
    for (const Run& run : runs_)
        readers_.push_back(std::make_unique<RunReader>(*file_, run, bufferBytes));
}

std::size_t TownSort::runs() const {
    return runs_.size();
}

const std::vector<TownGroups::Group>& TownSort::towns() const {
    return runs_.empty() ? groups_.towns() : merged_;
}

PositionValues TownSort::nextRow() {
    if (runs_.empty())
        return groups_.groupedValues(memoryRow_++);
    // The town's part in each run in turn, then the next town.
    while (left_ == 0) {
        if (run_ == runs_.size()) {
            run_ = 0;
            ++town_;
        }
        Run& run = runs_[run_++];
        if (run.nextTown < run.towns.size() && run.mergedTown[run.nextTown] == town_)
            left_ = run.towns[run.nextTown++].count;
    }
    --left_;
    return readers_[run_ - 1]->next();
}

}  // namespace mrk2
