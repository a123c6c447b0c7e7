// Houses and parcels of the published registry samples, found again by the
// addresses people write for them.
#include <gtest/gtest.h>

#include "lookup/AddressLookup.h"
#include "support/AbrSample.h"
#include "support/RegionBuilder.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

std::string fullWidth(const std::string& s) {
    static const char* const kDigits[] = {"０", "１", "２", "３", "４",
                                          "５", "６", "７", "８", "９"};
    std::string out;
    for (char c : s)
        out += (c >= '0' && c <= '9') ? kDigits[c - '0'] : std::string(1, c);
    return out;
}

// Every house of 文京区 with a position, in three written forms.
TEST(AbrLookupTest, EveryHouseOfBunkyoByThreeWrittenForms) {
    TempDir d;
    const std::vector<AbrSampleRow> houses =
        readAbrSample(d.path(), "mt_rsdtdsp_rsdt_pref13.csv", "mt_rsdtdsp_rsdt_pos_pref13.csv");
    ASSERT_EQ(houses.size(), 30156u);
    std::vector<BlockRow> rows;
    for (const AbrSampleRow& h : houses)
        rows.push_back(h.row);
    RegionBuilder region(d.file("文京区.mdb"));
    region.addSource("mt_rsdtdsp_rsdt_pref13.csv", "2025-08-06 00:00:00", rows);
    AddressLookup lookup(region.path());
    int wrong = 0;
    for (const AbrSampleRow& h : houses) {
        const std::string house = h.rsdt + (h.rsdt2.empty() ? "" : "-" + h.rsdt2);
        const std::string forms[] = {
            h.row.muni + *h.row.town + h.blk + "番" + house + "号",
            h.oaza + h.chomeNumber + "-" + h.blk + "-" + house,
            h.oaza + fullWidth(h.chomeNumber) + "丁目" + fullWidth(h.blk) + "－" +
                fullWidth(h.rsdt) + (h.rsdt2.empty() ? "" : "－" + fullWidth(h.rsdt2)),
        };
        for (const std::string& form : forms) {
            LookupResult r = lookup.find(form);
            if (r.level != MatchLevel::House || r.town != *h.row.town ||
                r.point.block != h.row.block || r.point.lat != h.row.lat ||
                r.point.lon != h.row.lon) {
                if (++wrong <= 5)
                    ADD_FAILURE() << form << " -> " << r.town << " " << r.point.block << " ("
                                  << matchLevelName(r.level) << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A parcel of 屋久島町, its town written in koaza, found at 地番 level.
TEST(AbrLookupTest, AParcelOfYakushimaAtParcelLevel) {
    TempDir d;
    std::vector<BlockRow> rows;
    for (const AbrSampleRow& p :
         readAbrSample(d.path(), "mt_parcel_city465054.csv", "mt_parcel_pos_city465054.csv")) {
        if (p.row.town == "安房")
            rows.push_back(p.row);
    }
    ASSERT_FALSE(rows.empty());
    RegionBuilder region(d.file("屋久島町.mdb"));
    region.addSource("mt_parcel_city465054.csv", "2025-08-06 00:00:00", rows);
    AddressLookup lookup(region.path());
    LookupResult r = lookup.find("鹿児島県屋久島町大字安房1番地");
    EXPECT_EQ(r.level, MatchLevel::Parcel);
    EXPECT_EQ(r.muni, "熊毛郡屋久島町");
    EXPECT_EQ(r.point.block, "1");
    EXPECT_EQ(r.point.lat, "30.315663026");  // as published
    r = lookup.find("屋久島町安房11番地の2");
    EXPECT_EQ(r.level, MatchLevel::Parcel);
    EXPECT_EQ(r.point.block, "11-2");
    EXPECT_EQ(r.point.lat, "30.315575266");
}

}  // namespace
}  // namespace mrk2::test
