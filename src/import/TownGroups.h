#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/PositionLine.h"

namespace mrk2 {

// The lines of one position file kept in memory and grouped by town, so that
// they can go straight to their per-town tables instead of through the staging
// table and its sort.
//
// The grouping is the staging table's order exactly: towns ascending by
// prefecture, municipality and town name compared byte by byte (SQLite's
// BINARY collation), a town without a name before the named towns of its
// municipality, and the lines of one town in the order they were read.
//
// Memory is bounded: add() refuses a line once the kept lines would take more
// than the budget, and the caller goes on another way.
class TownGroups {
  public:
    explicit TownGroups(std::size_t budgetBytes);
    // A new bound for the lines added from now on (a run's share of the
    // memory changes as other runs start and end); kept lines stay.
    void setBudget(std::size_t budgetBytes) { budget_ = budgetBytes; }
    // The size of the blocks lines are kept in, set by the first budget.
    std::size_t blockBytes() const { return blockBytes_; }

    // Keeps the values of one line and its municipality code (a town keeps the
    // code of its first line); false, keeping nothing, when they do not fit the
    // budget.
    bool add(const PositionValues& values, std::optional<std::string_view> code = std::nullopt);
    std::size_t rows() const { return rows_.size(); }

    // The kept lines in the order they were added, and their towns' codes.
    PositionValues lineValues(std::size_t line) const;
    std::optional<std::string_view> lineCode(std::size_t line) const;

    struct Group {
        std::string pref;
        std::string muni;
        std::string town;                 // "" when the town has no name (a name is never "")
        std::optional<std::string> code;  // fld市区町村コード
        std::size_t first = 0;            // its first row in grouped order
        std::size_t count = 0;
    };

    // Orders the kept lines by town; after it, towns() and groupedValues() hold.
    void group();
    const std::vector<Group>& towns() const { return towns_; }
    // The values of the row at `index` of the grouped order; the first three
    // entries are left empty (they are its town's).
    PositionValues groupedValues(std::size_t index) const;

    // Forgets every line; the budget stays.
    void clear();

  private:
    // Town key bytes: each part with its length in front, so no two keys of
    // different parts can collide.
    static std::string keyOf(const PositionValues& values);
    char* reserve(std::size_t bytes);
    PositionValues decode(const char* record) const;

    // Memory straight from the system, so that a file's lines, once written,
    // give their memory back for the next one (or for a staged file's sort).
    class Block {
      public:
        explicit Block(std::size_t bytes);
        Block(Block&& other) noexcept;
        Block& operator=(Block&&) = delete;
        ~Block();
        char* data() const { return data_; }

      private:
        char* data_;
        std::size_t size_;
    };

    std::size_t budget_;
    std::size_t blockBytes_;
    std::vector<Block> blocks_;
    std::size_t blockUsed_ = 0;
    std::unordered_map<std::string, std::uint32_t> townIndex_;
    std::vector<Group> towns_;       // in order of first appearance until group()
    std::vector<const char*> rows_;  // one record per line, in line order
    std::vector<const char*> grouped_;
};

}  // namespace mrk2
