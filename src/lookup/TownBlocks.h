#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/Database.h"
#include "lookup/LookupResult.h"
#include "lookup/TownDirectory.h"

namespace mrk2 {

// A block row of a town, as much of it as choosing a block needs.
struct BlockRef {
    std::int64_t rowId = 0;
    std::string table;
    std::string block;  // 街区・番地
    bool representative = false;
    bool residential = false;  // 住居表示フラグ 1: a block or house, else a parcel (地番)
};

// Reads the blocks of one town from its per-town tables. A per-town table holds
// many towns and has no index that leads with fldPositionID, so each table is
// scanned once, the first time a town in it is asked for, for the span of row
// ids of each town; later reads are range reads on the row id.
class TownBlocks {
  public:
    explicit TownBlocks(Database& db) : db_(db) {}

    // The town's rows in row-id order, source by source.
    std::vector<BlockRef> list(const Town& town);
    // The whole row, coordinates included.
    BlockPoint point(const BlockRef& ref);

  private:
    Statement& statement(const std::string& key, const std::string& sql);

    struct Span {
        std::int64_t first = 0, last = 0;
    };
    using Spans = std::unordered_map<std::int64_t, Span>;
    const Spans& spansOf(const std::string& table);

    Database& db_;
    std::unordered_map<std::string, Spans> spans_;
    std::unordered_map<std::string, Statement> statements_;
};

}  // namespace mrk2
