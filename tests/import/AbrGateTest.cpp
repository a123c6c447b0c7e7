// What a registry pair must hold before a row of it is stored: the columns its
// rows need, and positions that pass the rule every layout's positions pass.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "import/AbrPairReader.h"
#include "import/AbrPositionRow.h"
#include "import/MunicipalityMaster.h"
#include "import/PlaneProjector.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

struct Column {
    std::string name, value;
};

const std::vector<Column> kHouse = {
    {"lg_code", "131059"}, {"machiaza_id", "0001001"}, {"blk_id", "001"},   {"rsdt_id", "001"},
    {"rsdt2_id", ""},      {"oaza_cho", "白山"},       {"chome", "１丁目"}, {"koaza", ""},
    {"blk_num", "1"},      {"rsdt_num", "1"},          {"rsdt_num2", ""},   {"ablt_date", ""}};

// A header and its one row, without the column `leftOut`.
std::string csvOf(const std::vector<Column>& columns, const std::string& leftOut = {}) {
    std::string header, row;
    for (const Column& c : columns) {
        if (c.name == leftOut)
            continue;
        header += (header.empty() ? "" : ",") + c.name;
        row += (row.empty() ? "" : ",") + c.value;
    }
    return header + "\n" + row + "\n";
}

std::string posOf(const std::string& lat, const std::string& lon, const std::string& srid) {
    return "lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,rep_lon,rep_lat,rep_srid\n"
           "131059,0001001,001,001,," +
           lon + "," + lat + "," + srid + "\n";
}

// The error that reading the pair's rows gives; number 0 when they read.
Error readError(const TempDir& d, const std::string& data, const std::string& pos) {
    try {
        AbrPairReader pair;
        pair.open(d.write("mt_rsdtdsp_rsdt_x.csv", data),
                  d.write("mt_rsdtdsp_rsdt_pos_x.csv", pos));
        PlaneProjector projector;
        while (pair.next())
            AbrPositionRow(pair, MunicipalityMaster::builtIn(), projector);
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "");
}

TEST(AbrGateTest, PositionsPassTheValueGateNamingFileLineAndColumn) {
    TempDir d;
    const std::string data = csvOf(kHouse);
    EXPECT_EQ(readError(d, data, posOf("35.715149108", "139.752436911", "EPSG:6668")).number(), 0);
    struct Case {
        std::string lat, lon, srid;
        int number;
        std::string column;
    } cases[] = {
        {"95", "139.7", "EPSG:6668", FormatError::OutOfRange, "rep_lat"},
        {"-91", "139.7", "EPSG:6668", FormatError::OutOfRange, "rep_lat"},
        {"35.7", "200", "EPSG:6668", FormatError::OutOfRange, "rep_lon"},
        {"nan", "139.7", "EPSG:6668", FormatError::NotANumber, "rep_lat"},
        {"inf", "139.7", "EPSG:6668", FormatError::NotANumber, "rep_lat"},
        {"1e999", "139.7", "EPSG:6668", FormatError::NotANumber, "rep_lat"},
        {"0x1p5", "139.7", "EPSG:6668", FormatError::NotANumber, "rep_lat"},
        {"\"35,7\"", "139.7", "EPSG:6668", FormatError::NotANumber, "rep_lat"},
        {"３５.７", "139.7", "EPSG:6668", FormatError::NotANumber, "rep_lat"},
        {"35.7", "139.7", "EPSG:9999", FormatError::RegistryFile, "rep_srid"},
        {"35.7", "139.7", "", FormatError::RegistryFile, "rep_srid"},
    };
    for (const Case& c : cases) {
        const Error e = readError(d, data, posOf(c.lat, c.lon, c.srid));
        EXPECT_EQ(e.number(), c.number) << c.lat << " " << c.lon << " " << c.srid;
        EXPECT_EQ(e.context(), d.file("mt_rsdtdsp_rsdt_pos_x.csv"));
        EXPECT_NE(e.description().find("2 行目"), std::string::npos) << e.description();
        EXPECT_NE(e.description().find(c.column), std::string::npos) << e.description();
    }
}

// A six-digit lg_code ends in the check digit of the five before it.
TEST(AbrGateTest, AnLgCodeWithAWrongCheckDigitIsRefused) {
    for (const char* code : {"131059", "011002", "465054", "452092"})
        EXPECT_TRUE(isLgCode(code)) << code;
    for (const char* code : {"131058", "13105", "1310599", "13105a"})
        EXPECT_FALSE(isLgCode(code)) << code;
    TempDir d;
    std::vector<Column> wrong = kHouse;
    wrong[0].value = "131051";
    EXPECT_EQ(readError(d, csvOf(wrong),
                        "lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,rep_lon,rep_lat,rep_srid\n"
                        "131051,0001001,001,001,,139.7,35.7,EPSG:6668\n")
                  .number(),
              FormatError::RegistryFile);
}

// PROJ's own report of a point it cannot project stays out of the operator's
// terminal; the caller tells the fault.
TEST(AbrGateTest, ProjSaysNothingOnStderr) {
    PlaneProjector projector;
    testing::internal::CaptureStderr();
    const auto xy = projector.project("EPSG:6668", 9, 95.0, 139.7);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(xy);
}

TEST(AbrGateTest, AHeaderWithoutANeededColumnOrAShortRowIsRefused) {
    TempDir d;
    const std::string pos = posOf("35.7", "139.7", "EPSG:6668");
    for (const char* column : {"blk_num", "rsdt_num", "chome", "oaza_cho", "koaza"}) {
        const Error e = readError(d, csvOf(kHouse, column), pos);
        EXPECT_EQ(e.number(), FormatError::RegistryFile) << column;
        EXPECT_NE(e.description().find(column), std::string::npos) << e.description();
    }
    const Error noSrid = readError(d, csvOf(kHouse),
                                   "lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,rep_lon,rep_lat\n"
                                   "131059,0001001,001,001,,139.7,35.7\n");
    EXPECT_EQ(noSrid.number(), FormatError::RegistryFile);

    const Error shortRow = readError(d, csvOf(kHouse) + "131059,0001001,001,002\n", pos);
    EXPECT_EQ(shortRow.number(), FormatError::MissingColumn);
    EXPECT_NE(shortRow.description().find("3 行目"), std::string::npos);

    // A quote left open holds its record to the length of a line.
    std::string open = csvOf(kHouse) + "\"";
    for (int i = 0; i < 40000; ++i)
        open += "a\n";
    const Error longRecord = readError(d, open, pos);
    EXPECT_EQ(longRecord.number(), FormatError::TooManyEntries);
    EXPECT_NE(longRecord.description().find("3 行目"), std::string::npos);
}

}  // namespace
}  // namespace mrk2::test
