#include "base/Config.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/Error.h"
#include "base/IniFile.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

class ConfigTest : public ::testing::Test {
  protected:
    // Writes the lines (UTF-8, joined with CR LF) as the CP932 settings file.
    void writeIni(const std::string& body) { iniPath = dir.write("mrk2tool.ini", sjis(body)); }
    void load() { settings = loadSettings(iniPath, person); }

    TempDir dir;
    std::string iniPath = dir.file("mrk2tool.ini");
    Settings settings;
    RecordingPerson person;
};

using Ints12 = std::array<int, 12>;
using Ints7 = std::array<int, 7>;

}  // namespace

TEST_F(ConfigTest, AMissingFileGivesEveryDefault) {
    iniPath = dir.file("none.ini");
    ASSERT_NO_THROW(load());
    EXPECT_EQ(settings.iniPath, iniPath);
    EXPECT_EQ(settings.dbDir, "");
    EXPECT_EQ(settings.regionFileName, "");
    EXPECT_EQ(settings.delimiter, ",");
    EXPECT_EQ(settings.posInfoStart, "1");
    EXPECT_EQ(settings.postalStart, "1");
    EXPECT_EQ(settings.postalPath, "");
    EXPECT_EQ(settings.minRecs, 1000);
    EXPECT_EQ(settings.posInfoColumns, (Ints12{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(settings.postalColumns, (Ints7{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(settings.fixedTerms.empty());
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(ConfigTest, EmptyValuesCountAsMissingAndValuesAreTrimmed) {
    writeIni(
        "[MRK]\r\nDBDIR=   /data/mrk   \r\nPREFDIR=東京都.mdb\r\nINPUTDIR=/in\r\nOUTPUTDIR=/out\r\n"
        "DELIMITER=\r\nMINRECS=\r\nPOSINFOSTART=\r\nPOSTALSTART=3\r\nPOSTALPATH=/p/"
        "KEN_ALL.CSV\r\n");
    ASSERT_NO_THROW(load());
    EXPECT_EQ(settings.dbDir, "/data/mrk");
    EXPECT_EQ(settings.regionFileName, "東京都.mdb");
    EXPECT_EQ(settings.inputDir, "/in");
    EXPECT_EQ(settings.outputDir, "/out");
    EXPECT_EQ(settings.delimiter, ",");
    EXPECT_EQ(settings.minRecs, 1000);
    EXPECT_EQ(settings.posInfoStart, "1");
    EXPECT_EQ(settings.postalStart, "3");
    EXPECT_EQ(settings.postalPath, "/p/KEN_ALL.CSV");
}

TEST_F(ConfigTest, FieldListsNeedTheirFullLengthElseTheDefaultsApply) {
    writeIni(
        "[MRK]\r\nMINRECS= -5 \r\nPOSINFOFIELDNO=11,10,9,8,7,6,5,4,3,2,1,0,99,x\r\n"
        "POSTALFIELDNO=0,1,2,3,4,5, 6\r\n");
    ASSERT_NO_THROW(load());
    EXPECT_EQ(settings.minRecs, -5);
    EXPECT_EQ(settings.posInfoColumns, (Ints12{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(settings.postalColumns, (Ints7{0, 1, 2, 3, 4, 5, 6}));

    // Too short lists are not even converted.
    writeIni("[MRK]\r\nPOSINFOFIELDNO=1,1,1,1,1,1,1,1,1,1,x\r\nPOSTALFIELDNO=0,1,2\r\n");
    ASSERT_NO_THROW(load());
    EXPECT_EQ(settings.posInfoColumns, (Ints12{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(settings.postalColumns, (Ints7{2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(ConfigTest, FixedNamesEndAtTheFirstMissingNumber) {
    writeIni("[MRK]\r\nFIXEDTERM_0001=1,A\r\nFIXEDTERM_0002=2,B\r\nFIXEDTERM_0004=4,D\r\n");
    ASSERT_NO_THROW(load());
    ASSERT_EQ(settings.fixedTerms.size(), 2u);
    EXPECT_EQ(settings.fixedTerms[1].code, 2);
    EXPECT_EQ(settings.fixedTerms[1].name, "B");

    writeIni("[MRK]\r\nFIXEDTERM_0001=5,X,Y\r\nFIXEDTERM_0003=3,C\r\n");
    ASSERT_NO_THROW(load());  // a second load replaces the list
    ASSERT_EQ(settings.fixedTerms.size(), 1u);
    EXPECT_EQ(settings.fixedTerms[0].code, 5);
    EXPECT_EQ(settings.fixedTerms[0].name, "X");
}

TEST_F(ConfigTest, AFixedNameWithoutCommaEndsTheListWithTheMessage) {
    writeIni("[MRK]\r\nFIXEDTERM_0001=1,一丁目\r\nFIXEDTERM_0002=2\r\nFIXEDTERM_0003=3,C\r\n");
    EXPECT_NO_THROW(load());
    ASSERT_EQ(settings.fixedTerms.size(), 1u);
    EXPECT_EQ(settings.fixedTerms[0].name, "一丁目");
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
    ASSERT_NO_THROW(load());
    ASSERT_EQ(settings.fixedTerms.size(), 100u);
    EXPECT_EQ(settings.fixedTerms.back().code, 100);
}

TEST_F(ConfigTest, ANonNumberFailsTheLoadNamingItsKeyValueAndTheSettingsFile) {
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
        writeIni("[MRK]\r\n" + c.line + "\r\n");
        try {
            load();
            ADD_FAILURE() << "loaded";
        } catch (const Error& e) {
            EXPECT_EQ(e.context(), iniPath);
            const std::string text = standardErrorText(e);
            EXPECT_NE(text.find(c.mustMention), std::string::npos) << text;
            EXPECT_NE(text.find("(10003)\n" + iniPath), std::string::npos) << text;
        }
        // Whoever started the load tells the person, once.
        EXPECT_TRUE(person.messages.empty()) << person.allMessages();
    }
}

TEST_F(ConfigTest, SavingWritesOnlyItsKeysAndKeepsTheRestOfTheFile) {
    const std::string original = sjis(
        "; 設定\r\n[MRK]\r\nDBDIR=/old\r\nMINRECS=500\r\nFIXEDTERM_0001=1,番地\r\n"
        "POSINFOSTART=2\r\n\r\n[OTHER]\r\nX=1\r\n");
    iniPath = dir.write("mrk2tool.ini", original);
    ASSERT_NO_THROW(load());
    saveDirectories(iniPath, {"/新しい", "大阪府.mdb", settings.inputDir, settings.outputDir,
                              settings.delimiter});
    saveStartLines(iniPath, "5", settings.postalStart, "/p/KEN_ALL.CSV");

    EXPECT_EQ(readFile(iniPath),
              sjis("; 設定\r\n[MRK]\r\nDBDIR=/新しい\r\nMINRECS=500\r\nFIXEDTERM_0001=1,番地\r\n"
                   "POSINFOSTART=5\r\nPREFDIR=大阪府.mdb\r\nINPUTDIR=\r\nOUTPUTDIR=\r\n"
                   "DELIMITER=,\r\nPOSTALSTART=1\r\nPOSTALPATH=/p/KEN_ALL.CSV\r\n\r\n"
                   "[OTHER]\r\nX=1\r\n"));
    const Settings again = loadSettings(iniPath, person);
    EXPECT_EQ(again.dbDir, "/新しい");
    EXPECT_EQ(again.regionFileName, "大阪府.mdb");
    EXPECT_EQ(again.posInfoStart, "5");
    EXPECT_EQ(again.minRecs, 500);
}

TEST_F(ConfigTest, AValueTheFileCannotHoldIsRefusedWithItsReasonAndTheRestIsSaved) {
    writeIni("[MRK]\r\nDBDIR=/old\r\n");
    ASSERT_NO_THROW(load());
    // CP932 would write ～ instead of 〜.
    std::string refused;
    try {
        saveDirectories(iniPath, {"/data/〜", "大阪府.mdb", "", "", ","});
    } catch (const Refusal& r) {
        refused = r.what();
    }
    EXPECT_NE(refused.find("「〜」"), std::string::npos) << refused;
    EXPECT_NE(refused.find("(10005)\n" + iniPath), std::string::npos) << refused;
    const Settings again = loadSettings(iniPath, person);
    EXPECT_EQ(again.dbDir, "/old");
    EXPECT_EQ(again.regionFileName, "大阪府.mdb");
    EXPECT_NO_THROW(saveStartLines(iniPath, "2", "1", "/p/KEN_ALL.CSV"));
}
