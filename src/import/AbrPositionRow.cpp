#include "import/AbrPositionRow.h"

#include <charconv>
#include <cstdio>

#include "app/Error.h"
#include "app/MunicipalityMaster.h"
#include "import/AbrPairReader.h"
#include "import/PlaneProjector.h"
#include "import/PlaneZone.h"

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

std::optional<double> number(std::string_view text) {
    double v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

}  // namespace

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
    if (digits.empty() || digits.size() > 3 || chome.substr(i) != "丁目")
        return std::string(chome);
    return kanjiNumber(std::stoi(digits)) + "丁目";
}

AbrPositionRow::AbrPositionRow(const AbrPairReader& pair, const MunicipalityMaster& master,
                               PlaneProjector& projector) {
    const std::string_view lgCode = pair.field(AbrColumn::LgCode);
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
    const auto lat = number(pair.lat());
    const auto lon = number(pair.lon());
    if (!lat || !lon)
        return;
    const int zone = planeZone(lgCode, *lat, *lon);
    const auto xy = projector.project(pair.srid(), zone, *lat, *lon);
    if (!xy)
        return;
    char buf[32];
    values_[CoordSystem] = std::to_string(zone);
    std::snprintf(buf, sizeof buf, "%.1f", xy->x);
    values_[X] = buf;
    std::snprintf(buf, sizeof buf, "%.1f", xy->y);
    values_[Y] = buf;
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
