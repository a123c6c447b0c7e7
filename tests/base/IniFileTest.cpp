#include "base/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Error.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

// A settings file as a Windows installation leaves it: CP932, CR LF, comments.
const std::string kWindowsFile = sjis(
    "; MRKメンテナンスツールの設定\r\n"
    "[Other]\r\n"
    "DBDIR=/elsewhere\r\n"
    "\r\n"
    "[mrk]\r\n"
    "  DbDir =   /data/mrk   \r\n"
    "PREFDIR=東京都.mdb\r\n"
    ";POSTALPATH=/commented/out\r\n"
    "QUOTED=\"  spaced  \"\r\n"
    "SINGLE='x'\r\n"
    "HALF=\"unmatched\r\n"
    "EMPTY=\r\n"
    "TAB=\tvalue\t\r\n"
    "\r\n"
    "[MRK]\r\n"
    "LATER=only in the second section of the same name\r\n");

}  // namespace

TEST(IniRead, MatchesSectionsAndKeysWithoutCaseAndTrimsBlanks) {
    TempDir dir;
    std::string ini = dir.write("mrk2tool.ini", kWindowsFile);
    EXPECT_EQ(getIniString(ini, "MRK", "DBDIR", "x"), "/data/mrk");
    EXPECT_EQ(getIniString(ini, "Mrk", "prefdir", "x"), "東京都.mdb");
    EXPECT_EQ(getIniString(ini, "OTHER", "DBDIR", "x"), "/elsewhere");
    EXPECT_EQ(getIniString(ini, "MRK", "TAB", "x"), "value");
}

TEST(IniRead, MissingEmptyAndCommentedKeysGiveTheDefault) {
    TempDir dir;
    std::string ini = dir.write("mrk2tool.ini", kWindowsFile);
    EXPECT_EQ(getIniString(ini, "MRK", "EMPTY", "dflt"), "dflt");
    EXPECT_EQ(getIniString(ini, "MRK", "POSTALPATH", "dflt"), "dflt");
    EXPECT_EQ(getIniString(ini, "MRK", "NOSUCHKEY", "dflt"), "dflt");
    EXPECT_EQ(getIniString(ini, "NOSECTION", "DBDIR", "dflt"), "dflt");
    EXPECT_EQ(getIniString(dir.file("missing.ini"), "MRK", "DBDIR", "dflt"), "dflt");
    // Only the first section of a name is searched, as Windows does.
    EXPECT_EQ(getIniString(ini, "MRK", "LATER", "dflt"), "dflt");
}

TEST(IniRead, EnclosingQuotesGoWhenTheyMatch) {
    TempDir dir;
    std::string ini = dir.write("mrk2tool.ini", kWindowsFile);
    EXPECT_EQ(readProfileString(ini, "MRK", "QUOTED"), "  spaced  ");
    EXPECT_EQ(getIniString(ini, "MRK", "QUOTED", "x"), "spaced");
    EXPECT_EQ(getIniString(ini, "MRK", "SINGLE", "x"), "x");
    EXPECT_EQ(getIniString(ini, "MRK", "HALF", "x"), "\"unmatched");
    std::string empty = dir.write("empty.ini", "[MRK]\r\nK=\"\"\r\n");
    EXPECT_EQ(getIniString(empty, "MRK", "K", "dflt"), "dflt");
}

TEST(IniRead, LongValuesAreCutAtTheLongestPathWithoutSplittingACharacter) {
    TempDir dir;
    const std::size_t max = kMaxIniValueBytes;
    std::string ascii(max + 4, 'a');
    // max - 1 single bytes, then あ (two bytes): the cut falls inside あ, which is dropped.
    std::string split = std::string(max - 1, 'b') + "あい";
    // Half-width katakana are one byte each in CP932.
    std::string kana = std::string(max - 6, 'c') + "ｱｲｳｴｵｶｷ";
    std::string ini = dir.write(
        "long.ini", sjis("[MRK]\r\nA=" + ascii + "\r\nB=" + split + "\r\nK=" + kana + "\r\n"));
    EXPECT_EQ(getIniString(ini, "MRK", "A", ""), std::string(max, 'a'));
    EXPECT_EQ(getIniString(ini, "MRK", "B", ""), std::string(max - 1, 'b'));
    EXPECT_EQ(getIniString(ini, "MRK", "K", ""), std::string(max - 6, 'c') + "ｱｲｳｴｵｶ");
    // In UTF-8 あ is three bytes: max - 2 single bytes leave room for none of it.
    std::string utf8 = dir.write("long8.ini", "[MRK]\nB=" + std::string(max - 2, 'b') + "あい\n");
    EXPECT_EQ(getIniString(utf8, "MRK", "B", ""), std::string(max - 2, 'b'));
}

TEST(IniRead, ANulByteIsAnEncodingErrorNamingItsLine) {
    TempDir dir;
    std::string bytes = "[MRK]\r\nA=1\r\nB=x" + std::string(1, '\0') + "y\r\n";
    std::string ini = dir.write("nul.ini", bytes);
    try {
        getIniString(ini, "MRK", "A", "");
        FAIL() << "no error for a NUL byte";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::InvalidEncoding);
        EXPECT_EQ(e.description().rfind("3 行目", 0), 0u) << e.description();
    }
    EXPECT_FALSE(putIniString(ini, "MRK", "A", "2"));
    EXPECT_EQ(readFile(ini), bytes);
}

TEST(IniRead, LinesThatAreNotCp932AreSkippedAndKept) {
    TempDir dir;
    std::string bad = "BROKEN=\x82\r\n";  // a lead byte without its second half
    std::string ini = dir.write("bad.ini", "[MRK]\r\n" + bad + "GOOD=1\r\n");
    EXPECT_EQ(getIniString(ini, "MRK", "BROKEN", "dflt"), "dflt");
    EXPECT_EQ(getIniString(ini, "MRK", "GOOD", ""), "1");
    ASSERT_TRUE(putIniString(ini, "MRK", "GOOD", "2"));
    EXPECT_EQ(readFile(ini), "[MRK]\r\n" + bad + "GOOD=2\r\n");
}

TEST(IniWrite, ChangesOnlyThatKeysLineAndKeepsEverythingElse) {
    TempDir dir;
    std::string ini = dir.write("mrk2tool.ini", kWindowsFile);
    ASSERT_TRUE(putIniString(ini, "MRK", "prefdir", "大阪府.mdb"));
    std::string expected = kWindowsFile;
    std::string oldLine = sjis("PREFDIR=東京都.mdb\r\n");
    expected.replace(expected.find(oldLine), oldLine.size(), sjis("PREFDIR=大阪府.mdb\r\n"));
    EXPECT_EQ(readFile(ini), expected);
    EXPECT_EQ(getIniString(ini, "MRK", "PREFDIR", ""), "大阪府.mdb");
    // The key keeps the file's spelling; the spacing around "=" is not kept.
    ASSERT_TRUE(putIniString(ini, "MRK", "DBDIR", "/new"));
    EXPECT_NE(readFile(ini).find("DbDir=/new\r\n"), std::string::npos);
}

TEST(IniWrite, AddsKeysAtTheEndOfTheirSectionAndNewSectionsAtTheEnd) {
    TempDir dir;
    std::string ini = dir.write("a.ini", "[MRK]\r\nA=1\r\n\r\n[NEXT]\r\nB=2");
    ASSERT_TRUE(putIniString(ini, "MRK", "C", "3"));
    EXPECT_EQ(readFile(ini), "[MRK]\r\nA=1\r\nC=3\r\n\r\n[NEXT]\r\nB=2");
    ASSERT_TRUE(putIniString(ini, "NEXT", "D", "4"));
    EXPECT_EQ(readFile(ini), "[MRK]\r\nA=1\r\nC=3\r\n\r\n[NEXT]\r\nB=2\r\nD=4\r\n");
    ASSERT_TRUE(putIniString(ini, "NEW", "E", "5"));
    EXPECT_EQ(readFile(ini), "[MRK]\r\nA=1\r\nC=3\r\n\r\n[NEXT]\r\nB=2\r\nD=4\r\n[NEW]\r\nE=5\r\n");
}

TEST(IniWrite, FollowsTheLineEndingsTheFileAlreadyUses) {
    TempDir dir;
    std::string ini = dir.write("unix.ini", "[MRK]\nA=1\n");
    ASSERT_TRUE(putIniString(ini, "MRK", "B", "2"));
    EXPECT_EQ(readFile(ini), "[MRK]\nA=1\nB=2\n");
}

TEST(IniWrite, CreatesAMissingFileInCp932AndItsMissingDirectoriesForItsOwnerOnly) {
    TempDir dir;
    std::string ini = dir.file("config/mrk2tool/new.ini");
    ASSERT_TRUE(putIniString(ini, "MRK", "PREFDIR", "東京都.mdb"));
    EXPECT_EQ(readFile(ini), sjis("[MRK]\r\nPREFDIR=東京都.mdb\r\n"));
    EXPECT_EQ(getIniString(ini, "MRK", "PREFDIR", ""), "東京都.mdb");
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(IniWrite, RefusesTextThatWouldCorruptTheFileAndLeavesItAlone) {
    TempDir dir;
    std::string before = "[MRK]\r\nA=1\r\n";
    std::string ini = dir.write("a.ini", before);
    EXPECT_FALSE(putIniString(ini, "MRK", "A", "1\r\nDBDIR=/evil"));
    EXPECT_FALSE(putIniString(ini, "MRK", "A", "😀"));  // not in CP932
    EXPECT_FALSE(putIniString(ini, "MRK", "A=B", "1"));
    EXPECT_FALSE(putIniString(ini, "MR]K", "A", "1"));
    EXPECT_FALSE(putIniString(ini, "MRK", " ", "1"));
    EXPECT_EQ(readFile(ini), before);
}

TEST(IniWrite, AFileThatCannotBeReadIsNotReplaced) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    TempDir dir;
    std::string ini = dir.write("locked.ini", "[MRK]\r\nA=1\r\nB=2\r\n");
    ::chmod(ini.c_str(), 0);
    EXPECT_FALSE(putIniString(ini, "MRK", "A", "9"));
    ::chmod(ini.c_str(), 0644);
    EXPECT_EQ(readFile(ini), "[MRK]\r\nA=1\r\nB=2\r\n");
}

TEST(IniWrite, ValuesTheToolWritesReadBackWhole) {
    TempDir dir;
    std::string ini = dir.file("mrk2tool.ini");
    std::string path300 = "/home/operator/" + std::string(270, 'd') + "/KEN_ALL.CSV";
    std::string longest = "/" + std::string(kMaxIniValueBytes - 1, 'e');
    for (const std::string& value : {path300, longest, std::string(" spaced "),
                                     std::string("\"quoted\""), std::string("'q'")}) {
        ASSERT_TRUE(putIniString(ini, "MRK", "POSTALPATH", value)) << value;
        EXPECT_EQ(readProfileString(ini, "MRK", "POSTALPATH"), value);
    }
    EXPECT_FALSE(putIniString(ini, "MRK", "POSTALPATH", longest + "e"));
}

TEST(IniWrite, RefusesWhatWouldReadBackAsSomethingElseAndSaysWhy) {
    TempDir dir;
    const std::string before = "[MRK]\r\nA=1\r\n";
    std::string ini = dir.write("a.ini", before);
    // CP932 holds these only as look-alikes: 〜 would come back as ～, ¥ as a backslash.
    for (const char* c : {"〜", "−", "¥", "‾", "‖", "¢", "£", "¬", "—"}) {
        try {
            writeIniString(ini, "MRK", "DBDIR", std::string("/data/") + c);
            ADD_FAILURE() << c;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), FormatError::InvalidEncoding);
            EXPECT_NE(e.description().find(std::string("「") + c + "」"), std::string::npos)
                << e.description();
        }
    }
    // Written, these would read back as a section header and a comment.
    for (const char* key : {"[X]", ";X"}) {
        EXPECT_FALSE(putIniString(ini, "MRK", key, "1")) << key;
        EXPECT_FALSE(putIniString(ini, "MRK", key, "1")) << key;
    }
    EXPECT_EQ(readFile(ini), before);
}

TEST(IniWrite, KeepsTheKeysBytesAndEndsANewLineLikeTheLineBeforeIt) {
    TempDir dir;
    // Ⅰ spelled with its IBM code (FA 4A); CP932 would write it back as 87 54.
    std::string ini = dir.write("a.ini", "[MRK]\r\xFA\x4A=1\n\n[X]\r");
    ASSERT_TRUE(putIniString(ini, "MRK", "Ⅰ", "2"));
    // A CR after the first line's CR would join the blank line's LF into CR LF.
    ASSERT_TRUE(putIniString(ini, "MRK", "B", "3"));
    EXPECT_EQ(readFile(ini), "[MRK]\r\xFA\x4A=2\nB=3\n\n[X]\r");
}

TEST(IniUtf8, FilesWithAndWithoutBomAreReadAndWrittenBackInUtf8) {
    TempDir dir;
    // "東京都.mdb" in UTF-8 happens to be valid CP932 as well.
    const std::string body = "[MRK]\nDBDIR=/home/山田/データ\nPREFDIR=東京都.mdb\n";
    for (const std::string& bom : {std::string("\xEF\xBB\xBF"), std::string()}) {
        std::string ini = dir.write("utf8.ini", bom + body);
        EXPECT_EQ(getIniString(ini, "MRK", "DBDIR", ""), "/home/山田/データ");
        EXPECT_EQ(getIniString(ini, "MRK", "PREFDIR", ""), "東京都.mdb");
        ASSERT_TRUE(putIniString(ini, "MRK", "PREFDIR", "大阪府.mdb"));
        ASSERT_TRUE(putIniString(ini, "MRK", "POSTALPATH", "/p/〜/KEN_ALL.CSV"));  // UTF-8 holds 〜
        EXPECT_EQ(readFile(ini), bom +
                                     "[MRK]\nDBDIR=/home/山田/データ\nPREFDIR=大阪府.mdb\n"
                                     "POSTALPATH=/p/〜/KEN_ALL.CSV\n");
        EXPECT_EQ(getIniString(ini, "MRK", "POSTALPATH", ""), "/p/〜/KEN_ALL.CSV");
    }
    // CP932 half-width katakana in pairs are valid UTF-8 (ﾃｱ reads as ñ): still CP932.
    std::string kana = dir.write("kana.ini", sjis("[MRK]\r\nK=ﾃｱ\r\n"));
    EXPECT_EQ(getIniString(kana, "MRK", "K", ""), "ﾃｱ");
}
