#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mrk2 {

// What a file of the Address Base Registry lists: town points (mt_town), blocks
// (mt_rsdtdsp_blk), houses (mt_rsdtdsp_rsdt) or parcels (mt_parcel). Each comes
// as a dataset and its _pos partner, which holds the positions.
enum class AbrDataset { Town, Block, House, Parcel };

// The columns this tool reads.
enum class AbrColumn {
    LgCode,
    MachiazaId,
    BlkId,
    RsdtId,
    Rsdt2Id,
    PrcId,
    OazaCho,
    Chome,
    Koaza,
    BlkNum,
    RsdtNum,
    RsdtNum2,
    PrcNum1,
    PrcNum2,
    PrcNum3,
    AbltDate,
    RepLat,
    RepLon,
    RepSrid,
    kCount
};

// The spelling of a registry header's names: the 2024 English names (lg_code,
// machiaza_id, rep_lat …) or the older Japanese ones (全国地方公共団体コード,
// 町字ID, 代表点_緯度 …).
enum class AbrHeaderGeneration { Japanese, English };

// A header line of the registry, as the sniffer read it by column names (in any
// order, with any columns between them, such as the machiaza_dist that newer
// files insert).
struct AbrHeader {
    AbrDataset dataset = AbrDataset::Town;
    bool positions = false;  // a _pos file: the dataset's keys and rep_lat/rep_lon
    AbrHeaderGeneration generation = AbrHeaderGeneration::English;
    std::array<int, static_cast<std::size_t>(AbrColumn::kCount)> columns{};  // -1: absent
    std::size_t width = 0;  // the number of columns the header names; every row has as many

    int column(AbrColumn c) const { return columns[static_cast<std::size_t>(c)]; }
    // The columns that join a dataset to its _pos partner, in sort order.
    std::vector<AbrColumn> keys() const;
    // The columns the rows of this file need: its keys, and the parts of an
    // address (a dataset) or the position (a _pos file). Without one, houses
    // would become blocks or towns merge: a header that lacks one is refused.
    std::vector<AbrColumn> needed() const;
    // Throws mrk2::Error (FormatError::RegistryFile) naming the first needed
    // column the header lacks.
    void requireNeededColumns() const;
    // A field of a record; "" when the column is absent or the record short.
    std::string_view field(const std::vector<std::string>& record, AbrColumn c) const;
};

// A column's name as the 2024 headers spell it, and its older Japanese one
// ("blk_num（街区符号）").
std::string abrColumnName(AbrColumn column);

// The column a header name stands for, and which generation spells it so;
// compared without blanks, ASCII case ("町字ID" = "町字id") or a byte order
// mark. nullopt for a column this tool does not read.
struct AbrNamedColumn {
    AbrColumn column;
    AbrHeaderGeneration generation;
};
std::optional<AbrNamedColumn> abrColumnNamed(std::string_view name);

// The dataset's name as the registry's file names spell it ("mt_rsdtdsp_rsdt").
const char* abrDatasetName(AbrDataset dataset);

}  // namespace mrk2
