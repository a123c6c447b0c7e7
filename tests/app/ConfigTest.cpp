#include "app/Config.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/IniFile.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

class ConfigTest : public ::testing::Test {
  protected:
    // Writes the lines (UTF-8, joined with CR LF) as the CP932 settings file.
    void writeIni(const std::string& body) {
        state.strIniPath = dir.write("mrk2tool.ini", sjis(body));
    }
    bool load() { return loadIniFile(state, person); }

    TempDir dir;
    AppState state;
    RecordingPerson person;
};

using Ints12 = std::array<int, 12>;
using Ints7 = std::array<int, 7>;

}  // namespace

TEST_F(ConfigTest, AMissingFileGivesEveryDefault) {
    state.strIniPath = dir.file("none.ini");
    ASSERT_TRUE(load());
    EXPECT_EQ(state.strDbDir, "");
    EXPECT_EQ(state.strPrefDb, "");
    EXPECT_EQ(state.strDelimiter, ",");
    EXPECT_EQ(state.strPosInfoStart, "1");
    EXPECT_EQ(state.strPostalStart, "1");
    EXPECT_EQ(state.strPostalPath, "");
    EXPECT_EQ(state.lngMinRecs, 1000);
    EXPECT_EQ(state.intPosInfoFieldNo, (Ints12{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(state.intPostalFieldNo, (Ints7{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(state.fixedTerms.empty());
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(ConfigTest, EmptyValuesCountAsMissingAndValuesAreTrimmed) {
    writeIni(
        "[MRK]\r\nDBDIR=   /data/mrk   \r\nPREFDIR=東京都.mdb\r\nINPUTDIR=/in\r\nOUTPUTDIR=/out\r\n"
        "DELIMITER=\r\nMINRECS=\r\nPOSINFOSTART=\r\nPOSTALSTART=3\r\nPOSTALPATH=/p/"
        "KEN_ALL.CSV\r\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(state.strDbDir, "/data/mrk");
    EXPECT_EQ(state.strPrefDb, "東京都.mdb");
    EXPECT_EQ(state.strInputDir, "/in");
    EXPECT_EQ(state.strOutputDir, "/out");
    EXPECT_EQ(state.strDelimiter, ",");
    EXPECT_EQ(state.lngMinRecs, 1000);
    EXPECT_EQ(state.strPosInfoStart, "1");
    EXPECT_EQ(state.strPostalStart, "3");
    EXPECT_EQ(state.strPostalPath, "/p/KEN_ALL.CSV");
}

TEST_F(ConfigTest, FieldListsNeedTheirFullLengthElseTheDefaultsApply) {
    writeIni(
        "[MRK]\r\nMINRECS= -5 \r\nPOSINFOFIELDNO=11,10,9,8,7,6,5,4,3,2,1,0,99,x\r\n"
        "POSTALFIELDNO=0,1,2,3,4,5, 6\r\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(state.lngMinRecs, -5);
    EXPECT_EQ(state.intPosInfoFieldNo, (Ints12{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(state.intPostalFieldNo, (Ints7{0, 1, 2, 3, 4, 5, 6}));

    // Too short lists are not even converted.
    writeIni("[MRK]\r\nPOSINFOFIELDNO=1,1,1,1,1,1,1,1,1,1,x\r\nPOSTALFIELDNO=0,1,2\r\n");
    ASSERT_TRUE(load());
    EXPECT_EQ(state.intPosInfoFieldNo, (Ints12{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(state.intPostalFieldNo, (Ints7{2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(ConfigTest, FixedNamesEndAtTheFirstMissingNumber) {
    writeIni("[MRK]\r\nFIXEDTERM_0001=1,A\r\nFIXEDTERM_0002=2,B\r\nFIXEDTERM_0004=4,D\r\n");
    ASSERT_TRUE(load());
    ASSERT_EQ(state.fixedTerms.size(), 2u);
    EXPECT_EQ(state.fixedTerms[1].code, 2);
    EXPECT_EQ(state.fixedTerms[1].name, "B");

    writeIni("[MRK]\r\nFIXEDTERM_0001=5,X,Y\r\nFIXEDTERM_0003=3,C\r\n");
    ASSERT_TRUE(load());  // a second load replaces the list
    ASSERT_EQ(state.fixedTerms.size(), 1u);
    EXPECT_EQ(state.fixedTerms[0].code, 5);
    EXPECT_EQ(state.fixedTerms[0].name, "X");
}

TEST_F(ConfigTest, AFixedNameWithoutCommaEndsTheListWithTheMessage) {
    writeIni("[MRK]\r\nFIXEDTERM_0001=1,一丁目\r\nFIXEDTERM_0002=2\r\nFIXEDTERM_0003=3,C\r\n");
    EXPECT_TRUE(load());
    ASSERT_EQ(state.fixedTerms.size(), 1u);
    EXPECT_EQ(state.fixedTerms[0].name, "一丁目");
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text, "システム固定名称の読み込みに失敗しました。");
}

TEST_F(ConfigTest, FixedNamesStopAtTheHundredthEntry) {
    std::string body = "[MRK]\r\n";
    for (int n = 1; n <= 102; ++n) {
        char line[64];
        std::snprintf(line, sizeof line, "FIXEDTERM_%04d=%d,N%d\r\n", n, n, n);
        body += line;
    }
    writeIni(body);
    ASSERT_TRUE(load());
    ASSERT_EQ(state.fixedTerms.size(), 100u);
    EXPECT_EQ(state.fixedTerms.back().code, 100);
}

TEST_F(ConfigTest, ANonNumberIsReportedWithItsKeyAndValueAndStopsTheLoad) {
    struct Case {
        std::string line;
        std::string mustMention;
    };
    const Case cases[] = {
        {"MINRECS=1000件", "MINRECS の値「1000件」"},
        {"MINRECS=99999999999", "MINRECS の値「99999999999」"},
        {"POSTALFIELDNO=2,3,,5,6,7,8", "POSTALFIELDNO の3 番目の値「」"},
        {"POSTALFIELDNO=2,3,-4,5,6,7,8", "POSTALFIELDNO の3 番目の値「-4」"},
        {"POSINFOFIELDNO=0,1,2,3,4,5,6,7,8,9,10,40000", "POSINFOFIELDNO の12 番目の値「40000」"},
        {"FIXEDTERM_0001=A,B", "FIXEDTERM_0001 のコードの値「A」"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        person.messages.clear();
        writeIni("[MRK]\r\n" + c.line + "\r\n");
        EXPECT_FALSE(load());
        ASSERT_EQ(person.messages.size(), 1u);
        const std::string& text = person.messages[0].text;
        EXPECT_NE(text.find(c.mustMention), std::string::npos) << text;
        EXPECT_NE(text.find("(10003)\n" + state.strIniPath), std::string::npos) << text;
    }
}

TEST_F(ConfigTest, SavingWritesOnlyItsKeysAndKeepsTheRestOfTheFile) {
    const std::string original = sjis(
        "; 設定\r\n[MRK]\r\nDBDIR=/old\r\nMINRECS=500\r\nFIXEDTERM_0001=1,番地\r\n"
        "POSINFOSTART=2\r\n\r\n[OTHER]\r\nX=1\r\n");
    state.strIniPath = dir.write("mrk2tool.ini", original);
    ASSERT_TRUE(load());
    state.strDbDir = "/新しい";
    state.strPrefDb = "大阪府.mdb";
    saveIniFile(state);
    state.strPosInfoStart = "5";
    state.strPostalPath = "/p/KEN_ALL.CSV";
    saveStartLines(state);

    EXPECT_EQ(readFile(state.strIniPath),
              sjis("; 設定\r\n[MRK]\r\nDBDIR=/新しい\r\nMINRECS=500\r\nFIXEDTERM_0001=1,番地\r\n"
                   "POSINFOSTART=5\r\nPREFDIR=大阪府.mdb\r\nINPUTDIR=\r\nOUTPUTDIR=\r\n"
                   "DELIMITER=,\r\nPOSTALSTART=1\r\nPOSTALPATH=/p/KEN_ALL.CSV\r\n\r\n"
                   "[OTHER]\r\nX=1\r\n"));
    AppState again;
    again.strIniPath = state.strIniPath;
    ASSERT_TRUE(loadIniFile(again, person));
    EXPECT_EQ(again.strDbDir, "/新しい");
    EXPECT_EQ(again.strPrefDb, "大阪府.mdb");
    EXPECT_EQ(again.strPosInfoStart, "5");
    EXPECT_EQ(again.lngMinRecs, 500);
}

TEST_F(ConfigTest, AValueTheFileCannotHoldIsRefusedWithItsReasonAndTheRestIsSaved) {
    writeIni("[MRK]\r\nDBDIR=/old\r\n");
    ASSERT_TRUE(load());
    state.strDbDir = "/data/〜";  // CP932 would write ～ instead
    state.strPrefDb = "大阪府.mdb";
    std::string refused = saveIniFile(state);
    EXPECT_NE(refused.find("「〜」"), std::string::npos) << refused;
    EXPECT_NE(refused.find("(10005)\n" + state.strIniPath), std::string::npos) << refused;
    AppState again;
    again.strIniPath = state.strIniPath;
    ASSERT_TRUE(loadIniFile(again, person));
    EXPECT_EQ(again.strDbDir, "/old");
    EXPECT_EQ(again.strPrefDb, "大阪府.mdb");
    EXPECT_EQ(saveStartLines(state), "");
}
