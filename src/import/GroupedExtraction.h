#pragma once
#include <cstdint>
#include <string>

#include "base/RunProgress.h"
#include "data/Database.h"
#include "data/RowFeed.h"
#include "import/GroupedSource.h"
#include "import/TownSort.h"
#include "import/UniqueExtraction.h"

namespace mrk2 {

// Writes the towns of one file grouped by TownSort to POSITION and the
// per-town tables: the same rows, ids and tables as the extraction of the same
// lines from the staging table (getUniqueTable), without writing them to the
// staging table and sorting them there first.
class GroupedExtraction {
  public:
    // One per connection: it gives the connection the names its INSERTs read.
    explicit GroupedExtraction(Database& db);

    // `groups` must be grouped; its rows are read once, in order. A Stop ends
    // it early. Throws as getUniqueTable.
    void write(TownSort& groups, const GroupedSource& source, std::int32_t minRecs,
               TownTableCursor& cursor, RunProgress& progress);

  private:
    Statement& blocksInto(const std::string& table);

    Database& db_;
    RowFeed towns_;
    RowFeed blocks_;
    Statement insertTowns_;
    std::string blocksTable_;  // the table insertBlocks_ writes to
    Statement insertBlocks_;
};

}  // namespace mrk2
