// What a source is, told by its first line alone, in the encoding its rows are
// read in; the bytes looked at are still read by the rows.
#include <gtest/gtest.h>

#include "base/Cp932.h"
#include "base/PeekedBytes.h"
#include "import/SourceSniffer.h"
#include "support/ScriptedBytes.h"

namespace mrk2::test {
namespace {

using enum PositionEntry;

const std::string kBlockHeader =
    "\"都道府県名\",\"市区町村名\",\"大字・丁目名\",\"小字・通称名\",\"街区符号・地番\","
    "\"座標系番号\",\"Ｘ座標\",\"Ｙ座標\",\"緯度\",\"経度\",\"住居表示フラグ\",\"代表フラグ\","
    "\"更新前履歴フラグ\",\"更新後履歴フラグ\"\r\n";
const std::string kTownHeader =
    "都道府県コード,都道府県名,市区町村コード,市区町村名,大字町丁目コード,大字町丁目名,緯度,"
    "経度,原典資料コード,大字・字・丁目区分コード\n";
const std::string kBlockRow = "東京都,文京区,白山一丁目,,1,9,-1.0,2.0,35.7,139.7,1,0,0,0\n";

TEST(SourceSnifferTest, EachKindIsKnownByItsHeaderNames) {
    struct Case {
        const char* what;
        std::string bytes;
        SourceKind kind;
        std::string layoutName;
    };
    const Case cases[] = {
        {"MLIT blocks, CP932", utf8ToCp932(kBlockHeader + kBlockRow).value(), SourceKind::MlitBlock,
         "MLIT 街区レベル位置参照情報"},
        {"MLIT blocks, UTF-8 with BOM", "\xEF\xBB\xBF" + kBlockHeader + kBlockRow,
         SourceKind::MlitBlock, "MLIT 街区レベル位置参照情報"},
        {"MLIT towns", utf8ToCp932(kTownHeader).value(), SourceKind::MlitTown,
         "MLIT 大字・町丁目レベル位置参照情報"},
        // The rows decide CP932, so a UTF-8 header is no MLIT header to them.
        {"UTF-8 header, CP932 rows", kBlockHeader + utf8ToCp932(kBlockRow).value(),
         SourceKind::Configured, ""},
        {"registry houses, 2024 names",
         "lg_code,machiaza_id,machiaza_dist,blk_id,rsdt_id,rsdt2_id,oaza_cho\r\n131059,0001001",
         SourceKind::Registry, "mt_rsdtdsp_rsdt"},
        {"registry parcel positions, older names",
         "\xEF\xBB\xBF全国地方公共団体コード,町字ID,地番ID,代表点_経度,代表点_緯度\n",
         SourceKind::Registry, "mt_parcel"},
        {"registry names in CP932", utf8ToCp932("全国地方公共団体コード,町字ID\n").value(),
         SourceKind::Configured, ""},
        {"no header", "東京都,文京区,白山一丁目,1,9,-1.0,2.0,35.7,139.7,,1,0\n",
         SourceKind::Configured, ""},
        {"empty", "", SourceKind::Configured, ""},
    };
    for (const Case& c : cases) {
        PeekedBytes bytes(std::make_unique<ScriptedBytes>(c.bytes, std::vector<std::size_t>{7}));
        const SniffedSource sniffed = sniffSource(bytes);
        EXPECT_EQ(sniffed.kind, c.kind) << c.what;
        EXPECT_EQ(sniffed.layoutName(), c.layoutName) << c.what;
        EXPECT_TRUE(readAll(bytes, {4096}) == c.bytes) << c.what;
    }
}

TEST(SourceSnifferTest, TheHeaderSaysWhereEachValueIsAndWhatTheRegistryFileHolds) {
    PeekedBytes town(std::make_unique<ScriptedBytes>(kTownHeader));
    const SniffedSource towns = sniffSource(town);
    EXPECT_EQ(towns.columns.columns[Lat], 6);
    EXPECT_EQ(towns.columns.codeColumn, 2);
    EXPECT_EQ(towns.columns.needs[Block], CsvColumnMap::Need::Absent);

    PeekedBytes pos(std::make_unique<ScriptedBytes>(
        "\xEF\xBB\xBF全国地方公共団体コード,町字ID,地番ID,代表点_経度,代表点_緯度\n"));
    const AbrHeader header = sniffSource(pos).registry;
    EXPECT_EQ(header.dataset, AbrDataset::Parcel);
    EXPECT_TRUE(header.positions);
    EXPECT_EQ(header.generation, AbrHeaderGeneration::Japanese);
    EXPECT_EQ(header.column(AbrColumn::RepLat), 4);
    EXPECT_EQ(header.width, 5u);
}

}  // namespace
}  // namespace mrk2::test
