// Sources read from zip archives as published, files read by their known
// header, and the municipality code every row gets.
#include <gtest/gtest.h>

#include <fstream>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/SourceFile.h"
#include "import/ImportRun.h"
#include "import/RegionFixture.h"
#include "support/ZipWriter.h"

namespace mrk2::test {
namespace {

std::string utf8Csv(const std::vector<Block>& rows) {
    std::string out;
    for (const auto& r : rows) {
        out += r.pref + "," + r.city + "," + r.town + "," + r.block +
               ",9,-1000.5,2000.5,35.1,139.2,,1,0\n";
    }
    return out;
}

// MLIT's block level, header and all (14 columns, every value quoted).
std::string blockLevelCsv(const std::vector<Block>& rows) {
    std::string out =
        "\"都道府県名\",\"市区町村名\",\"大字・丁目名\",\"小字・通称名\",\"街区符号・地番\","
        "\"座標系番号\",\"Ｘ座標\",\"Ｙ座標\",\"緯度\",\"経度\",\"住居表示フラグ\",\"代表フラグ\","
        "\"更新前履歴フラグ\",\"更新後履歴フラグ\"\r\n";
    for (const auto& r : rows) {
        out += "\"" + r.pref + "\",\"" + r.city + "\",\"" + r.town + "\",\"\",\"" + r.block +
               "\",\"6\",\"-190000.1\",\"-70000.2\",\"34.2\",\"135.1\",\"0\",\"1\",\"0\",\"0\"\r\n";
    }
    return sjis(out);
}

class ArchiveSourceTest : public ::testing::Test, public RegionFixture {
  protected:
    ArchiveSourceTest() { selectRegion("東京都"); }

    // MLIT's own shape: the members sit under a folder named with a backslash.
    std::string tokyoZip(std::time_t shibuyaDate = 1700000000) {
        return writeZip(csvDir.file("13000-17.0a.zip"),
                        {{"13000-17.0a\\13101_2023.csv",
                          positionCsv(blocks("東京都", "千代田区", "丸の内一丁目", 3))},
                         {"13000-17.0a\\13113_2023.csv",
                          utf8Csv(blocks("東京都", "渋谷区", "神宮前一丁目", 2)), shibuyaDate},
                         {"13000-17.0a\\format_2023.html", "<html></html>"}});
    }
};

TEST_F(ArchiveSourceTest, EveryCsvMemberIsASourceAndAnIdenticalArchiveReloadsNothing) {
    const std::string zip = tokyoZip();
    request.sources = sourcesOf(zip);
    ASSERT_EQ(request.sources.size(), 2u);
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(column(regionPath(), "SELECT fldSrcDir || '|' || fldSrcFile FROM POSITION管理"),
              (std::vector<std::string>{zip + "|13000-17.0a\\13101_2023.csv",
                                        zip + "|13000-17.0a\\13113_2023.csv"}));
    // CP932 beside UTF-8, each decoded by its own bytes.
    EXPECT_EQ(column(regionPath(),
                     "SELECT fld市区町村コード || fld市区町村名 || fld大字・町丁目 FROM POSITION "
                     "ORDER BY fld市区町村コード"),
              (std::vector<std::string>{"13101千代田区丸の内一丁目", "13113渋谷区神宮前一丁目"}));

    // Downloaded again: a new file with the same members and dates.
    setModifiedTime(tokyoZip(), 1800000000);
    EXPECT_EQ(run(ImportMode::Update), Outcome::Kind::NothingToDo) << person.allMessages();

    // One member's own date changes: only that member is loaded again.
    const std::string before =
        column(regionPath(), "SELECT group_concat(fldID) FROM POSITION管理")[0];
    tokyoZip(1700000100);
    ASSERT_EQ(run(ImportMode::Update), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(before, "1,2");
    EXPECT_EQ(column(regionPath(), "SELECT group_concat(fldID) FROM POSITION管理")[0], "1,3");
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION"), 2);
}

TEST_F(ArchiveSourceTest, ADamagedOrImplausibleArchiveIsAnErrorNamingItAndChangesNothing) {
    request.sources = sourcesOf(tokyoZip());
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    const std::string regionBefore = readFile(regionPath());

    // A stored member whose bytes were changed after packing: its CRC no longer fits.
    const std::string bad =
        writeZip(csvDir.file("bad.zip"),
                 {{"x\\13101_2023.csv", positionCsv(blocks("東京都", "千代田区", "大手町", 400)),
                   1700000000, true}});
    std::string bytes = readFile(bad);
    const std::size_t digit = bytes.find(",9,", 2000);
    ASSERT_NE(digit, std::string::npos);
    bytes[digit + 1] = '8';  // still valid text: only the CRC tells
    std::ofstream(bad, std::ios::binary) << bytes;
    request.sources = sourcesOf(bad);
    person.messages.clear();
    EXPECT_EQ(run(ImportMode::Register), Outcome::Kind::Failed);
    EXPECT_NE(person.allMessages().find(bad + "/x\\13101_2023.csv"), std::string::npos)
        << person.allMessages();
    EXPECT_EQ(readFile(regionPath()), regionBefore);

    // Damage that turns a line into invalid CP932 megabytes before the member's
    // end, where its CRC is checked: told as the damaged archive all the same.
    const std::string early =
        writeZip(csvDir.file("early.zip"),
                 {{"x\\13101_2023.csv", positionCsv(blocks("東京都", "千代田区", "大手町", 120000)),
                   1700000000, true}});
    bytes = readFile(early);
    bytes[bytes.find(",9,", 2000) + 1] = '\xFF';
    std::ofstream(early, std::ios::binary) << bytes;
    request.sources = sourcesOf(early);
    person.messages.clear();
    EXPECT_EQ(run(ImportMode::Register), Outcome::Kind::Failed);
    EXPECT_NE(person.allMessages().find("(10008)"), std::string::npos) << person.allMessages();
    EXPECT_EQ(readFile(regionPath()), regionBefore);

    // A member that would unpack to far more than any CSV compresses from.
    const std::string bomb =
        writeZip(csvDir.file("bomb.zip"), {{"13101_2023.csv", std::string(64u << 20, '0')}});
    request.sources = sourcesOf(bomb);
    person.messages.clear();
    EXPECT_EQ(run(ImportMode::Register), Outcome::Kind::Failed);
    EXPECT_NE(person.allMessages().find("zip 爆弾"), std::string::npos) << person.allMessages();
    EXPECT_EQ(readFile(regionPath()), regionBefore);

    // Not a zip at all.
    const std::string notZip = csvDir.write("notes.zip", "not an archive");
    try {
        sourcesOf(notZip);
        ADD_FAILURE() << "read as an archive";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::DamagedArchive);
        EXPECT_EQ(e.context(), notZip);
    }
}

TEST_F(ArchiveSourceTest, AKnownHeaderOverridesTheColumnsAndCodesComeFromTheMaster) {
    // A per-prefecture file: its name gives no code, the master does.
    csvDir.write("30_2023.csv", blockLevelCsv({{"和歌山県", "和歌山市", "一番丁", "1"},
                                               {"和歌山県", "西牟婁郡白浜町", "", "2"},
                                               {"和歌山県", "架空市", "本町", "3"}}));
    request.sources = {{csvDir.path(), "30_2023.csv"}};
    // Settings that would fail every line of this file, were they used.
    request.layout.startLine = 4;
    request.layout.columns.fill(20);
    selectRegion("和歌山県");
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(
        column(regionPath(),
               "SELECT ifnull(fld市区町村コード, 'NULL') || ' ' || fld市区町村名 FROM POSITION "
               "ORDER BY fldID"),
        (std::vector<std::string>{"30201 和歌山市", "NULL 架空市", "30401 西牟婁郡白浜町"}));
    EXPECT_EQ(column(regionPath(), "SELECT fld街区・番地 || fldＸ座標 FROM POSITION_0001 LIMIT 1"),
              (std::vector<std::string>{"1-190000.1"}));
}

TEST_F(ArchiveSourceTest, TheTownLevelArchiveAsPublishedGivesOnePointPerTownWithItsOwnCode) {
    request.sources = sourcesOf(std::string(MRK2_SAMPLE_DATA_DIR) + "/abr/47000-17.0b.zip");
    ASSERT_EQ(request.sources.size(), 1u);
    EXPECT_EQ(request.sources[0].file, "47000-17.0b\\47_2023.csv");
    selectRegion("沖縄県");
    ASSERT_EQ(run(ImportMode::Register), Outcome::Kind::Completed) << person.allMessages();
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION"), 1228);
    EXPECT_EQ(count(regionPath(), "SELECT count(*) FROM POSITION WHERE fld市区町村コード IS NULL"),
              0);
    const auto town = column(regionPath(),
                             "SELECT fldID || ' ' || fldTableName || ' ' || fld市区町村コード FROM "
                             "POSITION WHERE fld大字・町丁目 = '古波蔵一丁目'");
    ASSERT_EQ(town.size(), 1u);
    const std::string id = town[0].substr(0, town[0].find(' '));
    const std::string table = town[0].substr(id.size() + 1, 13);
    EXPECT_EQ(town[0].substr(town[0].size() - 5), "47201");
    EXPECT_EQ(column(regionPath(),
                     "SELECT ifnull(fld街区・番地, '-') || ' ' || fld緯度 || ' ' || "
                     "fld経度 FROM " +
                         table + " WHERE fldPositionID = " + id),
              (std::vector<std::string>{"- 26.199562 127.691306"}));
}

}  // namespace
}  // namespace mrk2::test
