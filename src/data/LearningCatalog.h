#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mrk2 {

// The region databases an entry of the learning dictionary can belong to: the
// names shown in the editor's two database lists (cmbDbID, cmbSearchDbID) and, at
// the same index, the catalog id as decimal text (idList).
struct LearningCatalog {
    // idList has room for indices 0 to 10000.
    static constexpr std::size_t kMaxRows = 10001;

    std::vector<std::string> names;
    std::vector<std::string> idList;

    std::size_t size() const { return names.size(); }

    // FindComboIndex: the first index whose name equals `text` exactly, -1 if none.
    int findComboIndex(const std::string& text) const;
    // The first index whose id equals `dbNo` as a number, -1 if none.
    int findIdIndex(std::int64_t dbNo) const;
    // The name for a catalog id, "" when it is not listed.
    std::string nameOf(std::int64_t dbNo) const;
};

// Reads ＤＢ一覧 of the base database in the table's own order. Rows without a name
// cannot be chosen and are left out. Throws mrk2::Error; when the catalog has more
// rows than the lists hold, `into` keeps the first kMaxRows and the error is thrown.
void loadLearningCatalog(const std::string& baseDbPath, LearningCatalog& into);

}  // namespace mrk2
