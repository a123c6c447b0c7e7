#include "postal/PostalBuildSummary.h"

#include <exception>

#include "base/EndMessage.h"
#include "data/Database.h"
#include "data/SchemaNames.h"

namespace mrk2 {

std::int64_t postRowCount(const std::string& basePath) {
    try {
        Database db = Database::open(basePath, Database::Mode::ReadOnly);
        if (!db.tableExists(tables::kPost))
            return 0;
        Statement st = db.prepare("SELECT count(*) FROM " + quoteIdentifier(tables::kPost));
        st.step();
        return st.int64(0);
    } catch (const std::exception&) {
        return 0;
    }
}

std::string postalBuildSummaryText(std::int64_t rowsBefore, std::int64_t rowsAfter,
                                   std::chrono::steady_clock::time_point started) {
    return "POST: " + std::to_string(rowsBefore) + " → " + std::to_string(rowsAfter) + " 件\n" +
           elapsedTimeText(started);
}

}  // namespace mrk2
