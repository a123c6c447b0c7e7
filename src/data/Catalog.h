#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/SourceFile.h"
#include "data/SchemaNames.h"

namespace mrk2 {

// The catalog of region databases in the base database, and the recorded sources
// of a region database. Every function throws mrk2::Error naming the database.

inline constexpr const char* kCatalogTable = tables::kCatalog;

struct Prefecture {
    std::string kanji;       // fldKanjiName followed by its suffix when there is one
    std::string kana;        // fldKatakanaName
    std::string kanaSuffix;  // "ﾄ", "", "ﾌ" or "ｹﾝ"
};

// 都道府県名 of the base database, in table order; it must hold at least one row.
std::vector<Prefecture> loadPrefNames(const std::string& baseDbPath);

// fldDbName of every row of ＤＢ一覧, in the table's own order.
std::vector<std::string> loadDbList(const std::string& baseDbPath);

// POSITION管理 of a region database: the files and their recorded dates
// ("YYYY-MM-DD HH:MM:SS"; nullopt for NULL), in table order.
struct RecordedSources {
    std::vector<SourceFile> files;
    std::vector<std::optional<std::string>> dates;
};
RecordedSources readSourceFiles(const std::string& regionDbPath);

// Adds the region to ＤＢ一覧, or brings the directory of its row up to dbDir.
// Safe to call from runs on several threads at once: their writes take turns.
void registerDbInCatalog(const std::string& baseDbPath, const std::string& dbDir,
                         const std::string& regionName);

// One row of ＤＢ一覧, for listings.
struct CatalogRow {
    std::int64_t id = 0;
    std::optional<std::string> name;
    std::optional<std::string> dir;
};
// Every catalog row in table order.
std::vector<CatalogRow> readCatalog(const std::string& baseDbPath);

}  // namespace mrk2
