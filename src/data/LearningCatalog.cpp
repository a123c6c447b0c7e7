#include "data/LearningCatalog.h"

#include <charconv>

#include "base/Error.h"
#include "data/Catalog.h"

namespace mrk2 {

int LearningCatalog::findComboIndex(const std::string& text) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

int LearningCatalog::findIdIndex(std::int64_t dbNo) const {
    for (std::size_t i = 0; i < idList.size(); ++i) {
        std::int64_t id = 0;
        const std::string& s = idList[i];
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), id);
        if (ec == std::errc() && end == s.data() + s.size() && id == dbNo)
            return static_cast<int>(i);
    }
    return -1;
}

std::string LearningCatalog::nameOf(std::int64_t dbNo) const {
    int i = findIdIndex(dbNo);
    return i < 0 ? std::string() : names[static_cast<std::size_t>(i)];
}

void loadLearningCatalog(const std::string& baseDbPath, LearningCatalog& into) {
    for (const CatalogRow& row : readCatalog(baseDbPath)) {
        if (!row.name)
            continue;
        if (into.size() >= LearningCatalog::kMaxRows)
            throw Error(
                FormatError::TooManyEntries,
                std::string(kCatalogTable) + "の行が多過ぎます。読み込めるのは 10001 行までです。");
        into.names.push_back(*row.name);
        into.idList.push_back(std::to_string(row.id));
    }
}

}  // namespace mrk2
