#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/MemoryBudget.h"
#include "base/ScratchFile.h"
#include "import/TownGroups.h"

namespace mrk2 {

// The lines of one position file grouped by town, whatever the file's size,
// in the memory of the run's share (MemoryBudget): an external merge sort.
//
// Lines are kept in memory (TownGroups) until the share is full; then the kept
// lines, grouped, are written to an unnamed work file in the database
// directory as one sorted run of compact binary rows, and the memory is used
// again. At the end every run is read back at once, one buffer each, and the
// rows come out in the grouped order: towns by key, and each town's rows run
// by run, so in line order. Towns (names, codes, counts) stay in memory: a
// file has thousands of them, not millions.
//
// A file that never fills the share is never written: the rows come from
// memory.
class TownSort {
  public:
    // `scratchDir` is where runs go when the share is full.
    TownSort(const MemoryBudget::Share& share, std::string scratchDir);
    ~TownSort();

    // Forgets every line and run, for the next file.
    void clear();
    // Keeps a line and its municipality code; false, keeping nothing, for a
    // line that does not fit even an empty share (a value longer than a run's
    // row can hold, or no memory at all): the caller then goes the staging
    // table's way with the lines kept so far (forEachKept).
    bool add(const PositionValues& values, std::optional<std::string_view> code);

    // Every kept line with its code: a town's lines in their line order.
    void forEachKept(
        const std::function<void(const PositionValues&, std::optional<std::string_view>)>& each);

    // After the last line: the towns in key order (TownGroups::Group, `first`
    // counted over the whole file); the rows then come with nextRow().
    void group();
    const std::vector<TownGroups::Group>& towns() const;
    // The next row of the grouped order, its first three entries empty; valid
    // until the next call. As many calls as the towns' counts add up to.
    PositionValues nextRow();

    // The runs written to the work file for the file so far.
    std::size_t runs() const;

  private:
    struct Run;
    class RunReader;

    void spill();

    const MemoryBudget::Share& share_;
    std::string scratchDir_;
    TownGroups groups_;
    std::unique_ptr<ScratchFile> file_;
    std::vector<Run> runs_;
    std::vector<TownGroups::Group> merged_;  // the towns of every run
    // Where nextRow() is: a town, a run within it, the rows left of that run's part.
    std::vector<std::unique_ptr<RunReader>> readers_;
    std::size_t town_ = 0;
    std::size_t run_ = 0;
    std::size_t left_ = 0;
    std::size_t memoryRow_ = 0;  // without runs: the row of groups_' grouped order
};

}  // namespace mrk2
