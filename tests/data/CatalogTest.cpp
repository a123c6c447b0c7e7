#include "data/Catalog.h"

#include <gtest/gtest.h>

#include "app/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "data/SourceStatus.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

class CatalogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.strDbDir = dir.path();
        state.strBaseDbPath = dir.file("mrk2.mdb");
        createBaseDatabase(state.strBaseDbPath);
    }

    Database base() { return Database::open(state.strBaseDbPath); }

    std::vector<CatalogRow> catalog() { return readCatalog(state.strBaseDbPath); }

    // A region database whose POSITION管理 records these (dir, file, date) rows.
    std::string regionDb(
        const std::string& name,
        const std::vector<std::tuple<std::string, std::string, std::string>>& rows) {
        std::string path = dir.file(name + ".mdb");
        Database db = Database::open(path, Database::Mode::Create);
        db.exec(
            "CREATE TABLE \"POSITION管理\" (fldID INTEGER PRIMARY KEY AUTOINCREMENT, "
            "fldSrcFile TEXT, fldSrcDir TEXT, fldDate TEXT)");
        Statement ins = db.prepare(
            "INSERT INTO \"POSITION管理\" (fldSrcDir, fldSrcFile, fldDate) VALUES (?1, ?2, ?3)");
        for (const auto& [d, f, date] : rows)
            ins.bind(1, d).bind(2, f).bind(3, date).run();
        return path;
    }

    TempDir dir;
    AppState state;
    RecordingPerson person;
};

}  // namespace

TEST_F(CatalogTest, BaseDbOpensOnceAndClosesWhateverItsState) {
    EXPECT_TRUE(closeBaseDb(state, person));  // nothing open yet
    ASSERT_TRUE(openBaseDb(state, person));
    EXPECT_TRUE(state.blnBaseDbOpen);
    ASSERT_TRUE(state.dbBase && state.dbBase->isOpen());
    // A second open neither reopens nor follows a changed directory.
    state.strDbDir = "/nowhere";
    EXPECT_TRUE(openBaseDb(state, person));
    EXPECT_EQ(state.strBaseDbPath, dir.file("mrk2.mdb"));
    EXPECT_TRUE(closeBaseDb(state, person));
    EXPECT_FALSE(state.blnBaseDbOpen);
    EXPECT_FALSE(state.dbBase);
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(CatalogTest, AMissingBaseDbIsReportedWithoutContext) {
    state.strDbDir = dir.file("nowhere");
    EXPECT_FALSE(openBaseDb(state, person));
    EXPECT_FALSE(state.blnBaseDbOpen);
    EXPECT_EQ(state.strBaseDbPath, dir.file("nowhere/mrk2.mdb"));
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text.find('\n'), std::string::npos);
}

TEST_F(CatalogTest, PrefectureNamesCarryTheirSuffixAndItsReading) {
    {
        Database db = base();
        db.exec("DELETE FROM \"都道府県名\"");
        db.exec(
            "INSERT INTO \"都道府県名\" VALUES ('東京','ﾄｳｷｮｳ','都'), ('北海','ﾎｯｶｲﾄﾞｳ','道'), "
            "('京都','ｷｮｳﾄ','府'), ('愛知','ｱｲﾁ','県'), ('無名','ﾑﾒｲ',NULL)");
    }
    ASSERT_TRUE(loadPrefNames(state, person));
    ASSERT_EQ(state.prefs.size(), 5u);
    const std::pair<std::string, std::string> expected[] = {
        {"東京都", "ﾄ"}, {"北海道", ""}, {"京都府", "ﾌ"}, {"愛知県", "ｹﾝ"}, {"無名", "ｹﾝ"}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(state.prefs[i].kanji, expected[i].first);
        EXPECT_EQ(state.prefs[i].kanaSuffix, expected[i].second);
    }
    EXPECT_EQ(state.prefs[0].kana, "ﾄｳｷｮｳ");
}

TEST_F(CatalogTest, PrefectureTableFaultsAreReported) {
    struct Case {
        const char* name;
        const char* sql;
        const char* number;
        std::size_t keptEntries;
    };
    const Case cases[] = {
        {"empty table", "DELETE FROM \"都道府県名\"", "(10007)", 0},
        {"Null name", "UPDATE \"都道府県名\" SET fldKanjiName = NULL WHERE rowid = 3", "(10002)",
         2},
        {"more than 50", "INSERT INTO \"都道府県名\" SELECT * FROM \"都道府県名\" WHERE rowid <= 4",
         "(10004)", 50},
        {"missing table", "DROP TABLE \"都道府県名\"", "(10007)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir fresh;
        state.strBaseDbPath = fresh.file("mrk2.mdb");
        createBaseDatabase(state.strBaseDbPath);
        base().exec(c.sql);
        person.messages.clear();
        EXPECT_FALSE(loadPrefNames(state, person));
        EXPECT_EQ(state.prefs.size(), c.keptEntries);
        ASSERT_EQ(person.messages.size(), 1u);
        EXPECT_NE(person.messages[0].text.find(c.number), std::string::npos)
            << person.messages[0].text;
    }
}

TEST_F(CatalogTest, DbListGivesNamesInTableOrderAndAnEmptyCatalogIsFine) {
    std::vector<std::string> names{"stale"};
    ASSERT_TRUE(loadDbList(state, person, names));
    EXPECT_TRUE(names.empty());
    base().exec(
        "INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都','/a'), ('大阪府','/a')");
    ASSERT_TRUE(loadDbList(state, person, names));
    EXPECT_EQ(names, (std::vector<std::string>{"東京都", "大阪府"}));
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(CatalogTest, RegistrationAddsOrMovesTheRowAndComparesNamesExactly) {
    registerDbInCatalog(state, person, "東京都");
    registerDbInCatalog(state, person, "O'Brien");
    ASSERT_EQ(catalog().size(), 2u);
    std::int64_t tokyoId = catalog()[0].id;

    registerDbInCatalog(state, person, "東京都");  // same directory: nothing changes
    ASSERT_EQ(catalog().size(), 2u);

    state.strDbDir = "/moved";
    registerDbInCatalog(state, person, "東京都");  // only the directory changes
    auto rows = catalog();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, tokyoId);
    EXPECT_EQ(rows[0].dir, "/moved");
    EXPECT_EQ(rows[1].dir, dir.path());

    registerDbInCatalog(state, person, "東京都 ");  // differs by a blank
    registerDbInCatalog(state, person, "o'brien");  // differs by case
    registerDbInCatalog(state, person, "ｔｏｋｙｏ");
    registerDbInCatalog(state, person, "tokyo");  // differs by width
    EXPECT_EQ(catalog().size(), 6u);
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();
}

TEST_F(CatalogTest, RegistrationFillsInARowWithoutDirectory) {
    base().exec("INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都', NULL)");
    registerDbInCatalog(state, person, "東京都");
    auto rows = catalog();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].dir, dir.path());
}

TEST_F(CatalogTest, RegistrationFailureNamesTheRegion) {
    state.strBaseDbPath = dir.file("missing/mrk2.mdb");
    registerDbInCatalog(state, person, "東京都");
    ASSERT_EQ(person.messages.size(), 1u);
    const std::string& text = person.messages[0].text;
    EXPECT_EQ(text.substr(text.size() - std::string("\n東京都").size()), "\n東京都");
}

TEST_F(CatalogTest, SourceListIsReadInTableOrder) {
    std::string path = regionDb("東京都", {{"/csv", "13101.csv", "2023-04-01 10:00:00"},
                                           {"/csv2", "13102.csv", "2023-04-02 11:00:00"}});
    std::vector<SourceFile> files;
    std::vector<std::optional<std::string>> dates;
    ASSERT_EQ(readSrcFileList(person, path, files, dates), 2);
    EXPECT_EQ(files[1], (SourceFile{"/csv2", "13102.csv"}));
    EXPECT_EQ(dates[0], "2023-04-01 10:00:00");
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(CatalogTest, SourceListFaultsGiveZeroAndTheMessageWithThePath) {
    std::vector<std::tuple<std::string, std::string, std::string>> many(1001, {"/d", "f.csv", "x"});
    const std::pair<const char*, std::string> cases[] = {
        {"no POSITION管理",
         [&] {
             std::string p = dir.file("empty.mdb");
             Database::open(p, Database::Mode::Create).exec("CREATE TABLE POST (x)");
             return p;
         }()},
        {"missing file", dir.file("nothing.mdb")},
        {"more than 1000", regionDb("big", many)},
    };
    for (const auto& [what, path] : cases) {
        SCOPED_TRACE(what);
        person.messages.clear();
        std::vector<SourceFile> files{{"/old", "old.csv"}};
        std::vector<std::optional<std::string>> dates{std::nullopt};
        EXPECT_EQ(readSrcFileList(person, path, files, dates), 0);
        EXPECT_TRUE(files.empty());
        EXPECT_TRUE(dates.empty());
        ASSERT_EQ(person.messages.size(), 1u);
        EXPECT_NE(person.messages[0].text.find(")\n" + path), std::string::npos);
    }
}

TEST(CompareSources, OlderNewerAndMissingFilesAllCountAsChanged) {
    TempDir dir;
    for (const char* f : {"same.csv", "newer.csv", "older.csv"})
        setModifiedTime(dir.write(f, "x"), 1700000000);
    std::string recorded = *fileModifiedText(dir.file("same.csv"));
    setModifiedTime(dir.file("newer.csv"), 1700000100);
    setModifiedTime(dir.file("older.csv"), 1600000000);
    std::vector<SourceFile> files{{dir.path(), "same.csv"},
                                  {dir.path(), "newer.csv"},
                                  {dir.path(), "older.csv"},
                                  {dir.path(), "gone.csv"},
                                  {dir.path(), "same.csv"}};
    std::vector<std::optional<std::string>> dates{recorded, recorded, recorded, recorded,
                                                  std::nullopt};
    auto status = compareSources(files, dates);
    ASSERT_EQ(status.size(), 5u);
    EXPECT_FALSE(status[0].changed);
    EXPECT_EQ(status[0].currentDate, recorded);
    EXPECT_TRUE(status[1].changed);
    EXPECT_TRUE(status[2].changed);
    EXPECT_TRUE(status[3].changed);
    EXPECT_FALSE(status[3].currentDate);
    EXPECT_TRUE(status[4].changed);  // no recorded date to trust
}
