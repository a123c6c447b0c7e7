#include "import/AbrPositionRow.h"

#include <cstdio>

#include "base/Error.h"
#include "import/AbrPairReader.h"
#include "import/MunicipalityMaster.h"
#include "import/PlaneProjector.h"
#include "import/PlaneZone.h"
#include "import/PositionValueCheck.h"

namespace mrk2 {

using enum PositionEntry;

namespace {

// A number part without its leading zeros ("007" → "7", "0" stays); text as it is.
std::string withoutLeadingZeros(std::string_view part) {
    while (part.size() > 1 && part.front() == '0')
        part.remove_prefix(1);
    return std::string(part);
}

// The parts joined by "-", empty ones left out.
std::string joinedNumber(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view p : parts) {
        if (p.empty())
            continue;
        if (!out.empty())
            out += '-';
        out += withoutLeadingZeros(p);
    }
    return out;
}

std::string kanjiNumber(int n) {
    static const char* const kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    std::string out;
    if (n >= 100) {
        out += (n / 100 > 1 ? kDigits[n / 100] : "") + std::string("百");
        n %= 100;
    }
    if (n >= 10) {
        out += (n / 10 > 1 ? kDigits[n / 10] : "") + std::string("十");
        n %= 10;
    }
    return out + kDigits[n];
}

}  // namespace

bool isLgCode(std::string_view code) {
    if (code.size() != 6 || code.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    // The check digit of Japan's local government codes: the five digits
    // weighted 6, 5, 4, 3, 2; the last digit of 11 less the sum's remainder by 11.
    int sum = 0;
    for (std::size_t i = 0; i < 5; ++i)
        sum += (code[i] - '0') * static_cast<int>(6 - i);
    return (11 - sum % 11) % 10 == code[5] - '0';
}

std::string chomeInKanji(std::string_view chome) {
    std::string digits;
    std::size_t i = 0;
    for (; i < chome.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(chome[i]);
        if (c >= '0' && c <= '9') {
            digits += chome[i];
        } else if (c == 0xEF && i + 2 < chome.size() &&  // full-width ０..９: EF BC 90..99
                   static_cast<unsigned char>(chome[i + 1]) == 0xBC &&
                   static_cast<unsigned char>(chome[i + 2]) >= 0x90 &&
                   static_cast<unsigned char>(chome[i + 2]) <= 0x99) {
            digits += static_cast<char>('0' + static_cast<unsigned char>(chome[i + 2]) - 0x90);
            i += 2;
        } else {
            break;
        }
    }
    // "0丁目" has no kanji number: left as written rather than made "丁目".
    if (digits.empty() || digits.size() > 3 || chome.substr(i) != "丁目" || std::stoi(digits) == 0)
        return std::string(chome);
    return kanjiNumber(std::stoi(digits)) + "丁目";
}

AbrPositionRow::AbrPositionRow(const AbrPairReader& pair, const MunicipalityMaster& master,
                               PlaneProjector& projector) {
    const std::string_view lgCode = pair.field(AbrColumn::LgCode);
    if (!isLgCode(lgCode))
        throw Error(FormatError::RegistryFile,
                    std::to_string(pair.dataLine()) + " 行目: 全国地方公共団体コード「" +
                        std::string(lgCode) + "」は6桁の数字でないか、検査数字が合いません。");
    const Municipality* m = master.byCode(lgCode);
    if (!m)
        throw Error(FormatError::RegistryFile,
                    "全国地方公共団体コードが市区町村マスターにありません: " + std::string(lgCode));
    values_[Pref] = m->pref;
    values_[Muni] = m->name();
    const std::string_view oaza = pair.field(AbrColumn::OazaCho);
    const std::string_view chome = pair.field(AbrColumn::Chome);
    values_[Town] = oaza.empty() && chome.empty() ? std::string(pair.field(AbrColumn::Koaza))
                                                  : std::string(oaza) + chomeInKanji(chome);
    switch (pair.header().dataset) {
        case AbrDataset::Town:
            break;
        case AbrDataset::Block:
            values_[Block] = joinedNumber({pair.field(AbrColumn::BlkNum)});
            break;
        case AbrDataset::House:
            values_[Block] =
                joinedNumber({pair.field(AbrColumn::BlkNum), pair.field(AbrColumn::RsdtNum),
                              pair.field(AbrColumn::RsdtNum2)});
            break;
        case AbrDataset::Parcel:
            values_[Block] =
                joinedNumber({pair.field(AbrColumn::PrcNum1), pair.field(AbrColumn::PrcNum2),
                              pair.field(AbrColumn::PrcNum3)});
            break;
    }
    values_[ResidenceFlag] = pair.header().dataset == AbrDataset::Parcel ? "0" : "1";
    values_[RepresentativeFlag] = pair.header().dataset == AbrDataset::Town ? "1" : "0";
    values_[Lat] = pair.lat();
    values_[Lon] = pair.lon();
    project(pair, projector);
}

// The position passes the gate every layout's values pass before its plane
// coordinates are made: a latitude of 95 or "nan" is never stored or projected.
void AbrPositionRow::project(const AbrPairReader& pair, PlaneProjector& projector) {
    inContext(pair.positionPath(), [&] {
        auto line = [&] { return std::to_string(pair.positionLine()) + " 行目"; };
        auto where = [&](AbrColumn c) {
            return [&pair, &line, c] {
                return line() + ": 列 " + std::to_string(pair.positionColumn(c)) + " " +
                       abrColumnName(c);
            };
        };
        const double lat = checkedPositionValue(Lat, values_[Lat], where(AbrColumn::RepLat));
        const double lon = checkedPositionValue(Lon, values_[Lon], where(AbrColumn::RepLon));
        if (!PlaneProjector::knowsDatum(pair.srid()))
            throw Error(FormatError::RegistryFile,
                        where(AbrColumn::RepSrid)() + " の座標参照系「" + std::string(pair.srid()) +
                            "」には対応していません（EPSG:6668、EPSG:4612、EPSG:4301 のみ）。");
        const int zone = planeZone(pair.field(AbrColumn::LgCode), lat, lon);
        const auto xy = projector.project(pair.srid(), zone, lat, lon);
        if (!xy)
            throw Error(FormatError::OutOfRange, line() + ": 緯度 " + values_[Lat] + "、経度 " +
                                                     values_[Lon] +
                                                     " を平面直角座標に変換できません。");
        char buf[32];
        values_[CoordSystem] = std::to_string(zone);
        std::snprintf(buf, sizeof buf, "%.1f", xy->x);
        values_[X] = buf;
        std::snprintf(buf, sizeof buf, "%.1f", xy->y);
        values_[Y] = buf;
    });
}

PositionValues AbrPositionRow::values() const {
    PositionValues v;
    for (std::size_t i = 0; i < kPositionEntries; ++i) {
        if (i != static_cast<std::size_t>(Mesh))
            v[i] = values_[i];
    }
    return v;
}

}  // namespace mrk2
