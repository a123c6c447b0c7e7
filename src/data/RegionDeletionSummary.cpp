#include "data/RegionDeletionSummary.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

#include "base/EndMessage.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "data/Catalog.h"
#include "data/RegionSnapshot.h"

namespace mrk2 {

namespace {

// Bytes as an operator reads a file's size: KB below a megabyte, else MB.
std::string sizeText(std::uint64_t bytes) {
    char text[32];
    if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", bytes / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024.0 * 1024.0));
    return text;
}

}  // namespace

RegionDeletionFacts describeRegionToDelete(const std::string& dbDir, const std::string& region) {
    RegionDeletionFacts facts;
    facts.region = region;
    facts.fileName = files::regionDbFileName(region);
    const std::string path = files::regionDbPath(dbDir, region);
    if (fileExists(path)) {
        facts.bytes = fileSizeOf(path);
        try {
            const RegionSnapshot snapshot = readRegionSnapshot(path);
            facts.towns = static_cast<std::int64_t>(snapshot.towns.size());
            facts.rows = snapshot.rows;
        } catch (const std::exception&) {
            // A region file that cannot be read is deleted all the same; its
            // counts stay unknown in the summary.
        }
    }
    try {
        const std::vector<std::string> names = loadDbList(files::baseDbPath(dbDir));
        facts.catalogRow = std::find(names.begin(), names.end(), region) != names.end();
    } catch (const std::exception&) {
        // The deletion itself meets an unreadable catalog and tells it; the
        // summary counts no row.
    }
    return facts;
}

std::string regionDeletionSummaryText(const RegionDeletionFacts& facts,
                                      std::chrono::steady_clock::time_point started) {
    std::string text = "削除した地域: " + facts.region + " (" + facts.fileName + ", " +
                       (facts.bytes ? sizeText(*facts.bytes) : "ファイルなし") + ")\n";
    if (facts.towns && facts.rows) {
        text += "町: " + std::to_string(*facts.towns) + " → 0\n";
        text += "行: " + std::to_string(*facts.rows) + " → 0\n";
    }
    // The catalog as the operator knows it: the region box's list.
    text += std::string("地域一覧: ") + (facts.catalogRow ? "1 → 0" : "登録なし") + "\n";
    return text + elapsedTimeText(started);
}

}  // namespace mrk2
