// Registry files read by their header names and joined with their positions.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "import/AbrFileName.h"
#include "import/AbrPairReader.h"
#include "import/AbrPositionRow.h"
#include "import/MunicipalityMaster.h"
#include "import/PlaneProjector.h"
#include "support/AbrSample.h"
#include "support/TempDir.h"

namespace mrk2::test {

using enum PositionEntry;
namespace {

// Older Japanese names in another order, a column newer files insert, quoting
// with a comma inside, CRLF; the positions given first. One row is stored, and
// each kind of row that is not is counted.
TEST(AbrPairReaderTest, JapaneseHeaderQuotingAndEveryRowCounted) {
    TempDir d;
    const std::string data =
        d.write("mt_rsdtdsp_rsdt_pref13.csv",
                "全国地方公共団体コード,町字ID,街区ID,住居ID,住居2ID,大字・町名,丁目名,小字名,備考,"
                "machiaza_dist,街区符号,住居番号,住居番号2,廃止年月日\r\n"
                "131059,0001001,001,001,,\"白山\",\"１丁目\",,\"a,\"\"b\"\"\",,01,1,,\r\n"
                "131059,0001001,001,002,,白山,１丁目,,,,1,2,,2020-01-01\r\n"
                "131059,0001001,001,003,,白山,１丁目,,,,1,3,,\r\n");
    const std::string pos =
        d.write("mt_rsdtdsp_rsdt_pos_pref13.csv",
                "全国地方公共団体コード,町字ID,街区ID,住居ID,住居2ID,代表点_経度,代表点_緯度,"
                "代表点_座標参照系\r\n"
                "131059,0001001,001,001,,139.752436911,35.715149108,EPSG:6668\r\n"
                "131059,0001001,001,002,,139.7,35.7,EPSG:6668\r\n"
                "131059,0001001,002,001,,139.7,35.7,EPSG:6668\r\n");
    AbrPairReader pair;
    pair.open(pos, data);
    PlaneProjector projector;
    ASSERT_TRUE(pair.next());
    AbrPositionRow row(pair, MunicipalityMaster::builtIn(), projector);
    EXPECT_EQ(row.value(Pref), "東京都");
    EXPECT_EQ(row.value(Muni), "文京区");
    EXPECT_EQ(row.value(Town), "白山一丁目");
    EXPECT_EQ(row.value(Block), "1-1");  // blk_num 01 without its zero
    EXPECT_EQ(row.value(ResidenceFlag), "1");
    EXPECT_EQ(row.value(CoordSystem), "9");
    EXPECT_EQ(row.value(X), "-31599.8");
    EXPECT_EQ(row.value(Y), "-7319.3");
    EXPECT_EQ(row.value(Lat), "35.715149108");
    EXPECT_FALSE(pair.next());
    const AbrCounts& c = pair.counts();
    EXPECT_EQ(c.paired, 1);
    EXPECT_EQ(c.retired, 1);
    EXPECT_EQ(c.withoutPosition, 1);
    EXPECT_EQ(c.unpaired, 1);

    auto a = AbrFileName::parse("/x/mt_rsdtdsp_rsdt_pos_pref13.csv.zip");
    auto b = AbrFileName::parse("mt_rsdtdsp_rsdt_pref13.csv.zip");
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->partners(*b));
    EXPECT_FALSE(AbrFileName::parse("mt_rsdtdsp_blk_pref13.csv")->partners(*b));
    EXPECT_EQ(chomeInKanji("１２丁目"), "十二丁目");
    EXPECT_EQ(chomeInKanji("20丁目"), "二十丁目");
    EXPECT_EQ(chomeInKanji("0丁目"), "0丁目");
}

// Many parcels of 屋久島町 have no position: each is counted, none stored.
TEST(AbrPairReaderTest, ParcelsWithoutPositionAreCounted) {
    TempDir d;
    AbrPairReader pair;
    pair.open(extractAbrSample(d.path(), "mt_parcel_city465054.csv"),
              extractAbrSample(d.path(), "mt_parcel_pos_city465054.csv"));
    std::int64_t rows = 0;
    while (pair.next())
        ++rows;
    EXPECT_EQ(rows, 83514);
    EXPECT_EQ(pair.counts().paired, 83514);
    EXPECT_EQ(pair.counts().withoutPosition, 84418 - 83514);
    EXPECT_EQ(pair.counts().unpaired, 0);
}

// A file not in key order is refused, never joined wrongly.
TEST(AbrPairReaderTest, FilesOutOfKeyOrderAreRefused) {
    TempDir d;
    const std::string data =
        d.write("mt_parcel_x.csv",
                "lg_code,machiaza_id,prc_id,oaza_cho,chome,koaza,prc_num1,prc_num2,prc_num3,"
                "ablt_date\n465054,0000121,2,,,安房,2,,,\n465054,0000121,1,,,安房,1,,,\n");
    const std::string pos =
        d.write("mt_parcel_pos_x.csv", "lg_code,machiaza_id,prc_id,rep_lon,rep_lat,rep_srid\n");
    AbrPairReader pair;
    pair.open(data, pos);
    EXPECT_THROW(while (pair.next()){}, mrk2::Error);
}

}  // namespace
}  // namespace mrk2::test
