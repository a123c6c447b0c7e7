#include "import/AbrHeader.h"

#include <algorithm>

#include "base/Error.h"

namespace mrk2 {

namespace {

struct ColumnNames {
    AbrColumn column;
    std::string_view english;
    std::string_view japanese;
};

constexpr ColumnNames kNames[] = {
    {AbrColumn::LgCode, "lg_code", "全国地方公共団体コード"},
    {AbrColumn::MachiazaId, "machiaza_id", "町字id"},
    {AbrColumn::BlkId, "blk_id", "街区id"},
    {AbrColumn::RsdtId, "rsdt_id", "住居id"},
    {AbrColumn::Rsdt2Id, "rsdt2_id", "住居2id"},
    {AbrColumn::PrcId, "prc_id", "地番id"},
    {AbrColumn::OazaCho, "oaza_cho", "大字・町名"},
    {AbrColumn::Chome, "chome", "丁目名"},
    {AbrColumn::Koaza, "koaza", "小字名"},
    {AbrColumn::BlkNum, "blk_num", "街区符号"},
    {AbrColumn::RsdtNum, "rsdt_num", "住居番号"},
    {AbrColumn::RsdtNum2, "rsdt_num2", "住居番号2"},
    {AbrColumn::PrcNum1, "prc_num1", "地番1"},
    {AbrColumn::PrcNum2, "prc_num2", "地番2"},
    {AbrColumn::PrcNum3, "prc_num3", "地番3"},
    {AbrColumn::AbltDate, "ablt_date", "廃止年月日"},
    {AbrColumn::RepLat, "rep_lat", "代表点_緯度"},
    {AbrColumn::RepLon, "rep_lon", "代表点_経度"},
    {AbrColumn::RepSrid, "rep_srid", "代表点_座標参照系"},
};

// A header name without blanks, ASCII case or a byte order mark.
std::string canonical(std::string_view name) {
    static const std::string_view kBom = "\xEF\xBB\xBF";
    if (name.substr(0, kBom.size()) == kBom)
        name.remove_prefix(kBom.size());
    std::string out;
    for (char c : name) {
        if (c == ' ' || c == '\t')
            continue;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

}  // namespace

std::optional<AbrNamedColumn> abrColumnNamed(std::string_view name) {
    const std::string key = canonical(name);
    for (const ColumnNames& n : kNames) {
        if (key == n.english)
            return AbrNamedColumn{n.column, AbrHeaderGeneration::English};
        if (key == n.japanese)
            return AbrNamedColumn{n.column, AbrHeaderGeneration::Japanese};
    }
    return std::nullopt;
}

std::vector<AbrColumn> AbrHeader::keys() const {
    switch (dataset) {
        case AbrDataset::Town:
            return {AbrColumn::LgCode, AbrColumn::MachiazaId};
        case AbrDataset::Block:
            return {AbrColumn::LgCode, AbrColumn::MachiazaId, AbrColumn::BlkId};
        case AbrDataset::House:
            return {AbrColumn::LgCode, AbrColumn::MachiazaId, AbrColumn::BlkId, AbrColumn::RsdtId,
                    AbrColumn::Rsdt2Id};
        case AbrDataset::Parcel:
            return {AbrColumn::LgCode, AbrColumn::MachiazaId, AbrColumn::PrcId};
    }
    return {};
}

std::vector<AbrColumn> AbrHeader::needed() const {
    std::vector<AbrColumn> out = keys();
    if (positions) {
        out.insert(out.end(), {AbrColumn::RepLat, AbrColumn::RepLon, AbrColumn::RepSrid});
        return out;
    }
    out.insert(out.end(),
               {AbrColumn::OazaCho, AbrColumn::Chome, AbrColumn::Koaza, AbrColumn::AbltDate});
    switch (dataset) {
        case AbrDataset::Town:
            break;
        case AbrDataset::Block:
            out.push_back(AbrColumn::BlkNum);
            break;
        case AbrDataset::House:
            out.insert(out.end(), {AbrColumn::BlkNum, AbrColumn::RsdtNum, AbrColumn::RsdtNum2});
            break;
        case AbrDataset::Parcel:
            out.insert(out.end(), {AbrColumn::PrcNum1, AbrColumn::PrcNum2, AbrColumn::PrcNum3});
            break;
    }
    return out;
}

void AbrHeader::requireNeededColumns() const {
    for (AbrColumn c : needed()) {
        if (column(c) < 0)
            throw Error(FormatError::RegistryFile, std::string("見出し行に列 ") + abrColumnName(c) +
                                                       " がありません（" + abrDatasetName(dataset) +
                                                       (positions ? "_pos" : "") + "）。");
    }
}

std::string abrColumnName(AbrColumn column) {
    for (const ColumnNames& n : kNames) {
        if (n.column == column)
            return std::string(n.english) + "（" + std::string(n.japanese) + "）";
    }
    return {};
}

std::string_view AbrHeader::field(const std::vector<std::string>& record, AbrColumn c) const {
    const int i = column(c);
    if (i < 0 || static_cast<std::size_t>(i) >= record.size())
        return {};
    return record[static_cast<std::size_t>(i)];
}

const char* abrDatasetName(AbrDataset dataset) {
    switch (dataset) {
        case AbrDataset::Town:
            return "mt_town";
        case AbrDataset::Block:
            return "mt_rsdtdsp_blk";
        case AbrDataset::House:
            return "mt_rsdtdsp_rsdt";
        case AbrDataset::Parcel:
            return "mt_parcel";
    }
    return "";
}

}  // namespace mrk2
