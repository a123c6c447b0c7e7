#pragma once
#include <array>
#include <string>

#include "app/RunProgress.h"

namespace mrk2 {

class LaterIndexes;

// Drops and recreates POST (fldID and the seven text fields) with idxPost; the
// index goes to `later` when one is given (LaterIndexes.h).
// Throws mrk2::Error naming the database.
void createPostTable(const std::string& dbPath, LaterIndexes* later = nullptr);

// Appends one POST row per line of the national postal CSV from `startLine` on.
struct PostalLoad {
    std::string dbPath;
    std::string csvPath;
    int startLine = 1;
    std::array<int, 7> columns{2, 3, 4, 5, 6, 7, 8};  // POSTALFIELDNO
};
// Throws mrk2::Error naming the CSV file.
void loadPostalCsv(const PostalLoad& load, RunProgress& progress);

}  // namespace mrk2
