#include "postal/NationalPostalBuild.h"

#include <charconv>
#include <cmath>

#include "app/Error.h"
#include "app/ErrorReport.h"
#include "app/FileOps.h"
#include "app/Paths.h"
#include "data/Catalog.h"
#include "data/Compaction.h"
#include "data/Database.h"
#include "postal/PostalTable.h"

namespace mrk2 {

namespace {

// The temporary copy lives in the current directory, whichever that is.
constexpr const char* kTempCopy = "mrk_123.mdb";
constexpr const char* kCompacted = "mrk_cmpact.mdb";

bool isNumericText(const std::string& text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos)
        return false;
    std::size_t e = text.find_last_not_of(' ');
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    // from_chars also reads "inf" and "nan", which are not numbers to the operator.
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && std::isfinite(value);
}

// A work file and any journal a killed build left beside it.
void removeWorkFile(const std::string& path) {
    removeFile(path);
    removeFile(path + "-journal");
    removeFile(path + "-wal");
    removeFile(path + "-shm");
}

void removeQuietly(const std::string& path) {
    try {
        removeWorkFile(path);
    } catch (...) {
    }
}

}  // namespace

PostalBuildResult buildNationalPostal(AppState& state, Person& person, const std::string& csvPath,
                                      const std::string& startLineText) {
    if (csvPath.empty()) {
        person.message("全国版郵便番号CSVファイルが指定されていません。");
        return PostalBuildResult::Refused;
    }
    if (!fileExists(csvPath)) {
        person.message("全国版郵便番号CSVファイルが見つかりません。");
        return PostalBuildResult::Refused;
    }
    // Checked, but every line of the file is read: the national file has no header.
    if (!isNumericText(startLineText)) {
        person.message("開始行数に数値を入力して下さい");
        return PostalBuildResult::BadStartLine;
    }
    if (!closeBaseDb(state, person))
        return PostalBuildResult::Failed;

    const std::string compacted = joinPath(state.strDbDir, kCompacted);
    bool copied = false;
    bool progressShown = false;
    auto failExit = [&]() {
        if (copied)
            removeQuietly(kTempCopy);
        if (progressShown)
            person.closeProgress();
        openBaseDb(state, person);
        return PostalBuildResult::Failed;
    };

    try {
        removeWorkFile(kTempCopy);
        person.showProgress(false);
        progressShown = true;
        person.setProgressLabel(ProgressLabel::DetailProc, "全国郵便番号テーブル作成中です。");
        // Opening the base database once lets SQLite roll back a journal that a
        // killed catalog write left, so the copy is a committed state.
        Database::open(state.strBaseDbPath).close();
        copyFile(state.strBaseDbPath, kTempCopy);
        copied = true;
    } catch (const std::exception& e) {
        reportError(person, e);
        return failExit();
    }

    if (!createPostTable(person, kTempCopy))
        return failExit();
    person.yield();
    if (!loadPostalCsv(state, person, kTempCopy, csvPath))
        return failExit();

    try {
        person.setProgressLabel(ProgressLabel::DetailProc, "基本データベースを最適化中です。");
        compactAndReplace(kTempCopy, compacted, state.strBaseDbPath);
    } catch (const std::exception& e) {
        reportError(person, e);
        return failExit();
    }
    // The base database is the new one from here; a copy that cannot be removed
    // is only a stray file.
    removeQuietly(kTempCopy);
    person.closeProgress();
    openBaseDb(state, person);
    return PostalBuildResult::Done;
}

}  // namespace mrk2
