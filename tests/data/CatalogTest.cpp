#include "data/Catalog.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/Error.h"
#include "base/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "data/SourceStatus.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

class CatalogTest : public ::testing::Test {
  protected:
    void SetUp() override { createBaseDatabase(basePath); }

    Database base() { return Database::open(basePath); }

    std::vector<CatalogRow> catalog() { return readCatalog(basePath); }

    // A region database whose POSITION管理 records these (dir, file, date) rows.
    std::string regionDb(
        const std::string& name,
        const std::vector<std::tuple<std::string, std::string, std::string>>& rows) {
        std::string path = dir.file(name + ".mdb");
        Database db = Database::open(path, Database::Mode::Create);
        db.exec(
            "CREATE TABLE \"POSITION管理\" (fldID INTEGER PRIMARY KEY AUTOINCREMENT, "
            "fldSrcFile TEXT, fldSrcDir TEXT, fldDate TEXT)");
        Transaction tx(db);
        Statement ins = db.prepare(
            "INSERT INTO \"POSITION管理\" (fldSrcDir, fldSrcFile, fldDate) VALUES (?1, ?2, ?3)");
        for (const auto& [d, f, date] : rows)
            ins.bind(1, d).bind(2, f).bind(3, date).run();
        ins = Statement();
        tx.commit();
        return path;
    }

    TempDir dir;
    std::string basePath = dir.file("mrk2.mdb");
};

// The error a call throws; fails the test when it throws none.
template <class Call>
Error thrownBy(Call call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return Error(0, "");
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST_F(CatalogTest, EveryReadOpensTheBaseDatabaseAfreshSoItMayBeReplacedBetweenReads) {
    base().exec("INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都','/a')");
    EXPECT_EQ(loadDbList(basePath), std::vector<std::string>{"東京都"});
    // The national postal build renames a new file over the base database.
    TempDir other;
    createBaseDatabase(other.file("mrk2.mdb"));
    Database::open(other.file("mrk2.mdb"))
        .exec("INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('大阪府','/a')");
    ASSERT_EQ(std::rename(other.file("mrk2.mdb").c_str(), basePath.c_str()), 0);
    EXPECT_EQ(loadDbList(basePath), std::vector<std::string>{"大阪府"});
    EXPECT_EQ(loadPrefNames(basePath).size(), 47u);
}

TEST_F(CatalogTest, AMissingBaseDbFailsNamingItsPathOnce) {
    const std::string missing = dir.file("nowhere/mrk2.mdb");
    for (const Error& e :
         {thrownBy([&] { loadDbList(missing); }), thrownBy([&] { loadPrefNames(missing); })}) {
        EXPECT_EQ(e.number() & 0xff, 14);  // cannot open
        EXPECT_EQ(e.context(), missing);
        EXPECT_EQ(occurrences(standardErrorText(e), missing), 1u) << standardErrorText(e);
    }
    EXPECT_FALSE(fileExists(missing));
}

TEST_F(CatalogTest, PrefectureNamesCarryTheirSuffixAndItsReading) {
    {
        Database db = base();
        db.exec("DELETE FROM \"都道府県名\"");
        db.exec(
            "INSERT INTO \"都道府県名\" VALUES ('東京','ﾄｳｷｮｳ','都'), ('北海','ﾎｯｶｲﾄﾞｳ','道'), "
            "('京都','ｷｮｳﾄ','府'), ('愛知','ｱｲﾁ','県'), ('無名','ﾑﾒｲ',NULL)");
    }
    const std::vector<Prefecture> prefs = loadPrefNames(basePath);
    ASSERT_EQ(prefs.size(), 5u);
    const std::pair<std::string, std::string> expected[] = {
        {"東京都", "ﾄ"}, {"北海道", ""}, {"京都府", "ﾌ"}, {"愛知県", "ｹﾝ"}, {"無名", "ｹﾝ"}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(prefs[i].kanji, expected[i].first);
        EXPECT_EQ(prefs[i].kanaSuffix, expected[i].second);
    }
    EXPECT_EQ(prefs[0].kana, "ﾄｳｷｮｳ");
}

TEST_F(CatalogTest, PrefectureTableFaultsFailWithTheirNumberAndTheDatabase) {
    struct Case {
        const char* name;
        const char* sql;
        int number;
    };
    const Case cases[] = {
        {"empty table", "DELETE FROM \"都道府県名\"", 10007},
        {"Null name", "UPDATE \"都道府県名\" SET fldKanjiName = NULL WHERE rowid = 3", 10002},
        {"more than 50", "INSERT INTO \"都道府県名\" SELECT * FROM \"都道府県名\" WHERE rowid <= 4",
         10004},
        {"missing table", "DROP TABLE \"都道府県名\"", 10007},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir fresh;
        const std::string path = fresh.file("mrk2.mdb");
        createBaseDatabase(path);
        Database::open(path).exec(c.sql);
        const Error e = thrownBy([&] { loadPrefNames(path); });
        EXPECT_EQ(e.number(), c.number) << e.description();
        EXPECT_EQ(e.context(), path);
    }
}

TEST_F(CatalogTest, DbListGivesNamesInTableOrderAndAnEmptyCatalogIsFine) {
    EXPECT_TRUE(loadDbList(basePath).empty());
    base().exec(
        "INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都','/a'), ('大阪府','/a')");
    EXPECT_EQ(loadDbList(basePath), (std::vector<std::string>{"東京都", "大阪府"}));
}

TEST_F(CatalogTest, RegistrationAddsOrMovesTheRowAndComparesNamesExactly) {
    registerDbInCatalog(basePath, dir.path(), "東京都");
    registerDbInCatalog(basePath, dir.path(), "O'Brien");
    ASSERT_EQ(catalog().size(), 2u);
    std::int64_t tokyoId = catalog()[0].id;

    registerDbInCatalog(basePath, dir.path(), "東京都");  // same directory: nothing changes
    ASSERT_EQ(catalog().size(), 2u);

    registerDbInCatalog(basePath, "/moved", "東京都");  // only the directory changes
    auto rows = catalog();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, tokyoId);
    EXPECT_EQ(rows[0].dir, "/moved");
    EXPECT_EQ(rows[1].dir, dir.path());

    for (const char* name : {"東京都 ", "o'brien", "ｔｏｋｙｏ", "tokyo"})  // blank, case, width
        registerDbInCatalog(basePath, "/moved", name);
    EXPECT_EQ(catalog().size(), 6u);
}

TEST_F(CatalogTest, RegistrationFillsInARowWithoutDirectory) {
    base().exec("INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都', NULL)");
    registerDbInCatalog(basePath, dir.path(), "東京都");
    auto rows = catalog();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].dir, dir.path());
}

TEST_F(CatalogTest, RegistrationFailureNamesTheRegion) {
    const Error e =
        thrownBy([&] { registerDbInCatalog(dir.file("missing/mrk2.mdb"), dir.path(), "東京都"); });
    const std::string text = standardErrorText(e);
    EXPECT_EQ(text.substr(text.size() - std::string("\n東京都").size()), "\n東京都");
}

TEST_F(CatalogTest, SourceListIsReadInTableOrder) {
    std::string path = regionDb("東京都", {{"/csv", "13101.csv", "2023-04-01 10:00:00"},
                                           {"/csv2", "13102.csv", "2023-04-02 11:00:00"}});
    const RecordedSources recorded = readSourceFiles(path);
    ASSERT_EQ(recorded.files.size(), 2u);
    ASSERT_EQ(recorded.dates.size(), 2u);
    EXPECT_EQ(recorded.files[1], (SourceFile{"/csv2", "13102.csv"}));
    EXPECT_EQ(recorded.dates[0], "2023-04-01 10:00:00");
}

TEST_F(CatalogTest, SourceListFaultsFailNamingThePathOnce) {
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
        const std::string text = standardErrorText(thrownBy([&] { readSourceFiles(path); }));
        EXPECT_NE(text.find(")\n" + path), std::string::npos) << text;
        EXPECT_EQ(occurrences(text, path), 1u) << text;
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
