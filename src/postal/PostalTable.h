#pragma once
#include <array>
#include <string>

#include "base/RunProgress.h"
#include "base/SourceFile.h"

namespace mrk2 {

class LaterIndexes;

// Drops and recreates POST (fldID and the seven text fields) with idxPost; the
// index goes to `later` when one is given (LaterIndexes.h).
// Throws mrk2::Error naming the database.
void createPostTable(const std::string& dbPath, LaterIndexes* later = nullptr);

// Appends one POST row per line of the national postal CSV from `startLine` on.
struct PostalLoad {
    std::string dbPath;
    SourceFile csv;  // a file, or a member of Japan Post's archive
    int startLine = 1;
    std::array<int, 7> columns{2, 3, 4, 5, 6, 7, 8};  // POSTALFIELDNO
};
// Both published forms give the same seven fields: the CP932 form (ken_all)
// writes its kana in half-width letters, the UTF-8 form (utf_ken_all) in
// full-width ones, which are stored half-width as the CP932 form has them.
// Throws mrk2::Error naming the CSV file.
void loadPostalCsv(const PostalLoad& load, SourceReader& sources, RunProgress& progress);

}  // namespace mrk2
