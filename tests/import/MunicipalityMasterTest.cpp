// The municipality master: the one built into the program, looked up by code
// and by name as MLIT writes names, and a master read from its published CSV.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "import/MunicipalityMaster.h"
#include "support/ScriptedBytes.h"

namespace mrk2::test {
namespace {

std::string codeOf(const Municipality* m) {
    return m ? m->code() : "(none)";
}

TEST(MunicipalityMasterTest, TheBuiltInMasterFindsTownsWardsAndCitiesByNameAndCode) {
    const MunicipalityMaster& master = MunicipalityMaster::builtIn();
    EXPECT_EQ(master.size(), 1918u);
    struct Case {
        const char* pref;
        const char* name;
        const char* code;
    };
    const Case cases[] = {
        {"東京都", "西多摩郡日の出町", "13305"},  // a town of a county
        {"神奈川県", "横浜市鶴見区", "14101"},    // a ward of a designated city
        {"大阪府", "大阪市鶴見区", "27124"},      // a ward of the same name elsewhere
        {"神奈川県", "横浜市", "14100"},          // the designated city itself
        {"東京都", "千代田区", "13101"},          // a ward of Tokyo
        {"東京都", "日の出町", "(none)"},         // without its county
        {"東京都", "横浜市鶴見区", "(none)"},     // in another prefecture
    };
    for (const Case& c : cases)
        EXPECT_EQ(codeOf(master.byName(c.pref, c.name)), c.code) << c.pref << c.name;

    const Municipality* ward = master.byCode("141011");
    ASSERT_NE(ward, nullptr);
    EXPECT_EQ(master.byCode("14101"), ward);
    EXPECT_EQ(ward->name(), "横浜市鶴見区");
    EXPECT_EQ(ward->pref, "神奈川県");
    EXPECT_EQ(master.byCode("1410"), nullptr);
    EXPECT_EQ(master.byCode("99999"), nullptr);
}

MunicipalityMaster readMaster(const std::string& csv) {
    LineReader lines;
    lines.open(std::make_unique<ScriptedBytes>(csv));
    return MunicipalityMaster::read(lines);
}

TEST(MunicipalityMasterTest, ACsvIsReadByItsColumnNamesAndTheCurrentOfTwoNamesakesWins) {
    // Columns in another order than published, quoted, and more of them; in
    // each prefecture a municipality was abolished and another took its name,
    // listed once before it and once after it.
    const MunicipalityMaster master = readMaster(
        "\"ward\",\"ablt_date\",\"city\",\"remarks\",\"pref\",\"lg_code\",\"county\"\r\n"
        ",2005-04-01,みどり町,,甲県,011118,乙郡\r\n"
        ",,みどり町,,甲県,012220,乙郡\r\n"
        ",,あおば市,,丙県,023337,\r\n"
        ",2010-01-01,あおば市,,丙県,024441,\r\n"
        "中区,,さくら市,,丙県,025551,\r\n");
    EXPECT_EQ(master.size(), 5u);
    EXPECT_EQ(codeOf(master.byName("甲県", "乙郡みどり町")), "01222");
    EXPECT_EQ(codeOf(master.byName("丙県", "あおば市")), "02333");
    EXPECT_EQ(codeOf(master.byName("丙県", "さくら市中区")), "02555");
    // The abolished one is still found by its code.
    ASSERT_NE(master.byCode("01111"), nullptr);
    EXPECT_TRUE(master.byCode("01111")->abolished);
    EXPECT_FALSE(master.byCode("02555")->abolished);
}

TEST(MunicipalityMasterTest, ACsvWithoutAColumnItNeedsIsAnError) {
    try {
        readMaster("lg_code,pref,county,city,ablt_date\n011002,北海道,,札幌市,\n");
        FAIL() << "read without a ward column";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::MissingColumn);
        EXPECT_NE(e.description().find("ward"), std::string::npos) << e.description();
    }
}

}  // namespace
}  // namespace mrk2::test
