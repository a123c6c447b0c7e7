#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mrk2 {

class Database;

// The learning dictionary lives in table 学習 of the base database.
inline constexpr const char* kLearningTable = "学習";

// fldType values: the address level an entry applies to.
inline constexpr std::int64_t kLevelCity = 2;  // 市区町村
inline constexpr std::int64_t kLevelTown = 3;  // 大字・町丁目

// One row of 学習 as stored; Null columns stay nullopt so that the read rules
// (fldDbNo Null = common, fldType Null = municipality) are applied where shown.
struct LearningEntry {
    std::int64_t id = 0;
    std::optional<std::string> registered;   // fld登録字句
    std::optional<std::string> transformed;  // fld変換字句
    std::optional<std::string> refCount;     // fld参照回数, as text
    std::optional<std::int64_t> dbNo;        // fldDbNo
    std::optional<std::int64_t> type;        // fldType
};

// The values SaveRecord writes. A nullopt owner or level leaves the stored value.
struct LearningValues {
    std::string registered;
    std::string transformed;
    std::int64_t refCount = 1;
    std::optional<std::int64_t> dbNo;
    std::optional<std::int64_t> type;
};

// fldID of the rows matching `condition` (an SQL condition over 学習, "" for all),
// with `pattern` bound to ?1 when given, in id order. Throws mrk2::Error.
std::vector<std::int64_t> selectLearningIds(Database& db, const std::string& condition,
                                            const std::optional<std::string>& pattern);

// The whole rows of such a search, in id order (for listings).
std::vector<LearningEntry> selectLearningEntries(Database& db, const std::string& condition,
                                                 const std::optional<std::string>& pattern);

// The row with this id, nullopt when it is gone.
std::optional<LearningEntry> readLearningEntry(Database& db, std::int64_t id);

// Appends a row and returns its fldID.
std::int64_t insertLearningEntry(Database& db, const LearningValues& values);

// Rewrites a row; false when no row has this id.
bool updateLearningEntry(Database& db, std::int64_t id, const LearningValues& values);

// Deletes a row; false when no row has this id.
bool deleteLearningEntry(Database& db, std::int64_t id);

// fldDbNo as the editor reads it: Null is 0 (common to all users).
inline std::int64_t effectiveDbNo(const LearningEntry& e) {
    return e.dbNo.value_or(0);
}
// fldType as the editor reads it: Null is the municipality level.
inline std::int64_t effectiveType(const LearningEntry& e) {
    return e.type.value_or(kLevelCity);
}

// Reads a reference count typed by the operator: ASCII digits, blanks around them
// allowed, at most 2147483647 (the column held a 32-bit count). nullopt otherwise.
std::optional<std::int64_t> parseRefCount(const std::string& text);

// The message shown when a reference count is not a count.
inline constexpr const char* kRefCountNotNumber =
    "参照回数には 0 から 2147483647 までの整数を入力して下さい。";

}  // namespace mrk2
