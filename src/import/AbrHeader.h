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

// A header line of the registry, read by column names, never by position: the
// 2024 English names (lg_code, machiaza_id, rep_lat …) and the older Japanese
// ones (全国地方公共団体コード, 町字ID, 代表点_緯度 …), in any order, with any
// columns between them (such as the machiaza_dist that newer files insert).
struct AbrHeader {
    AbrDataset dataset = AbrDataset::Town;
    bool positions = false;  // a _pos file: the dataset's keys and rep_lat/rep_lon
    std::array<int, static_cast<std::size_t>(AbrColumn::kCount)> columns{};  // -1: absent

    // nullopt when the names are not those of a registry dataset.
    static std::optional<AbrHeader> recognise(const std::vector<std::string>& names);

    int column(AbrColumn c) const { return columns[static_cast<std::size_t>(c)]; }
    // The columns that join a dataset to its _pos partner, in sort order.
    std::vector<AbrColumn> keys() const;
    // A field of a record; "" when the column is absent or the record short.
    std::string_view field(const std::vector<std::string>& record, AbrColumn c) const;
};

// The dataset's name as the registry's file names spell it ("mt_rsdtdsp_rsdt").
const char* abrDatasetName(AbrDataset dataset);

}  // namespace mrk2
