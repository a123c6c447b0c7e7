#pragma once
#include <array>

// The names of the tables and columns of the tool's databases, each spelled once.
// The geocoder and the operators' own tools read these files by these names, so
// they never change; every schema definition and every query takes them from here.
// Plain character arrays, so that a query is composed with std::string + name.

namespace mrk2::tables {

// A region database.
inline constexpr char kPosition[] = "POSITION";          // one row per town of a source file
inline constexpr char kSources[] = "POSITION管理";       // one row per source file
inline constexpr char kStaging[] = "POSITION_TMP";       // an import run's lines, in its work file
inline constexpr char kTownTablePrefix[] = "POSITION_";  // + four digits: the blocks of towns
inline constexpr char kPointIndex[] = "POSITION索引";    // the block points by grid cell

// The base database; a region database has its own POST as well.
inline constexpr char kPost[] = "POST";
inline constexpr char kCatalog[] = "ＤＢ一覧";
inline constexpr char kPrefectures[] = "都道府県名";
inline constexpr char kLearning[] = "学習";

}  // namespace mrk2::tables

namespace mrk2::fields {

// Every table's auto-number.
inline constexpr char kId[] = "fldID";

// POSITION管理: one loaded file.
inline constexpr char kSrcFile[] = "fldSrcFile";
inline constexpr char kSrcDir[] = "fldSrcDir";
inline constexpr char kDate[] = "fldDate";

// POSITION (and the staging table): a town, its file and its per-town table.
inline constexpr char kMunicipalityCode[] = "fld市区町村コード";
inline constexpr char kPrefName[] = "fld都道府県名";
inline constexpr char kMunicipalityName[] = "fld市区町村名";
inline constexpr char kTownName[] = "fld大字・町丁目";
inline constexpr char kSrcId[] = "fldSrcID";
inline constexpr char kTableName[] = "fldTableName";

// A per-town table (and the staging table): one block.
inline constexpr char kPositionId[] = "fldPositionID";
inline constexpr char kBlock[] = "fld街区・番地";
inline constexpr char kCoordinateSystem[] = "fld座標系番号";
inline constexpr char kX[] = "fldＸ座標";
inline constexpr char kY[] = "fldＹ座標";
inline constexpr char kLatitude[] = "fld緯度";
inline constexpr char kLongitude[] = "fld経度";
inline constexpr char kMeshCode[] = "fldメッシュコード";
inline constexpr char kResidenceIndication[] = "fld住居表示フラグ";
inline constexpr char kRepresentative[] = "fld代表フラグ";

// What a block row holds after its town: the columns of a per-town table after
// fldID, in their order.
inline constexpr std::array<const char*, 10> kBlockRow = {kPositionId,
                                                          kBlock,
                                                          kCoordinateSystem,
                                                          kX,
                                                          kY,
                                                          kLatitude,
                                                          kLongitude,
                                                          kMeshCode,
                                                          kResidenceIndication,
                                                          kRepresentative};

// POSITION索引: the points of one grid cell (PointIndex.h).
inline constexpr char kCell[] = "fldCell";
inline constexpr char kPoints[] = "fldPoints";

// POST: a postal line, its three readings (half-width kana) and three names.
inline constexpr char kPostalCode[] = "fld郵便番号";
inline constexpr char kPrefKana[] = "fldトドウフケン";
inline constexpr char kMunicipalityKana[] = "fldシクチョウソン";
inline constexpr char kPlaceKana[] = "fldチメイ";
inline constexpr char kPref[] = "fld都道府県";
inline constexpr char kMunicipality[] = "fld市区町村";
inline constexpr char kPlace[] = "fld地名";

// The columns of POST after fldID, in their order: those of a postal line.
inline constexpr std::array<const char*, 7> kPostRow = {
    kPostalCode, kPrefKana, kMunicipalityKana, kPlaceKana, kPref, kMunicipality, kPlace};

// ＤＢ一覧: one region.
inline constexpr char kDbName[] = "fldDbName";
inline constexpr char kDbDir[] = "fldDbDir";

// 都道府県名: one prefecture.
inline constexpr char kKanjiName[] = "fldKanjiName";
inline constexpr char kKatakanaName[] = "fldKatakanaName";
inline constexpr char kPrefType[] = "fldPrefType";

// 学習: one entry of the learning dictionary.
inline constexpr char kRegistered[] = "fld登録字句";
inline constexpr char kTransformed[] = "fld変換字句";
inline constexpr char kRefCount[] = "fld参照回数";
inline constexpr char kDbNo[] = "fldDbNo";
inline constexpr char kType[] = "fldType";

}  // namespace mrk2::fields
