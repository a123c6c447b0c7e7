#include "data/RegionDeletion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Paths.h"
#include "base/RegionName.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class RegionDeletionTest : public ::testing::Test {
  protected:
    void SetUp() override { createBaseDatabase(basePath); }
    void addCatalogRow(const std::string& name) {
        Database db = Database::open(basePath);
        Statement st = db.prepare("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES (?1, ?2)");
        st.bind(1, name).bind(2, dir.path()).run();
    }
    std::size_t catalogSize() { return readCatalog(basePath).size(); }
    Outcome::Kind remove(const std::string& region) {
        return startRegionDeletion({dbDir, region}, person, person).kind;
    }

    TempDir dir;
    std::string dbDir = dir.path();
    std::string basePath = dir.file("mrk2.mdb");
    RecordingPerson person;
};

TEST_F(RegionDeletionTest, OkDeletesRowAndFileEvenWithAQuoteInTheName) {
    addCatalogRow("O'Hare");
    addCatalogRow("other");
    dir.write("O'Hare.mdb", "x");
    person.answers = {Answer::Yes};
    EXPECT_EQ(remove("O'Hare"), Outcome::Kind::Completed);
    EXPECT_EQ(person.questions, (std::vector<std::string>{"O'Hare.mdbを削除していいですか？"}));
    EXPECT_FALSE(fileExists(dir.file("O'Hare.mdb")));
    ASSERT_EQ(catalogSize(), 1u);
    EXPECT_EQ(readCatalog(basePath)[0].name, "other");
    EXPECT_TRUE(person.messages.empty()) << person.allMessages();
}

TEST_F(RegionDeletionTest, CancelMissingFileAndFileWithoutRow) {
    addCatalogRow("a");
    dir.write("a.mdb", "x");
    EXPECT_EQ(remove("a"), Outcome::Kind::NothingToDo);  // Cancel
    EXPECT_TRUE(fileExists(dir.file("a.mdb")));
    EXPECT_EQ(catalogSize(), 1u);

    EXPECT_EQ(remove("nothing"), Outcome::Kind::Refused);
    EXPECT_EQ(person.messages.back().text, "地域別ＤＢが見つかりません。");

    // A row whose file is gone (a deletion cut off by a crash) can still go.
    addCatalogRow("nofile");
    person.answers = {Answer::Yes};
    EXPECT_EQ(remove("nofile"), Outcome::Kind::Completed);
    EXPECT_EQ(catalogSize(), 1u);

    dir.write("norow.mdb", "x");
    person.answers = {Answer::Yes};
    EXPECT_EQ(remove("norow"), Outcome::Kind::Completed);
    EXPECT_FALSE(fileExists(dir.file("norow.mdb")));

    EXPECT_EQ(remove(""), Outcome::Kind::Refused);
    EXPECT_EQ(person.messages.back().text, "地域名を選択して下さい。");
}

TEST_F(RegionDeletionTest, AFileThatCannotBeDeletedKeepsItsCatalogRow) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may delete from a read-only directory";
    TempDir regions;
    dbDir = regions.path();
    basePath = regions.file("mrk2.mdb");
    createBaseDatabase(basePath);
    regions.write("locked.mdb", "x");
    addCatalogRow("locked");
    // The base database shares the directory: in WAL mode, with its files made
    // and held open, the catalog stays writable there; only the removal fails.
    Database holder = Database::open(basePath);
    holder.exec("PRAGMA journal_mode = WAL; PRAGMA user_version = 1");
    ::chmod(regions.path().c_str(), 0555);
    person.answers = {Answer::Yes};
    EXPECT_EQ(remove("locked"), Outcome::Kind::Failed);
    ::chmod(regions.path().c_str(), 0755);
    EXPECT_TRUE(fileExists(regions.file("locked.mdb")));
    EXPECT_EQ(catalogSize(), 1u);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("アクセスが拒否されました。"), std::string::npos)
        << person.messages[0].text;
}

TEST_F(RegionDeletionTest, NamesThatCannotBeFileNamesAreRefusedFirst) {
    for (const std::string& bad :
         {std::string("a/b"), std::string("."), std::string(".."), std::string("a\0b", 3)})
        EXPECT_FALSE(isUsableRegionName(bad)) << bad;
    EXPECT_TRUE(isUsableRegionName("東京都 23区'"));
    dir.write("..mdb", "x");
    EXPECT_EQ(remove(".."), Outcome::Kind::Refused);
    EXPECT_TRUE(person.questions.empty());
    EXPECT_TRUE(fileExists(dir.file("..mdb")));
}

TEST_F(RegionDeletionTest, AReaderOfTheBaseDatabaseFailsTheDeletionBeforeAnythingGoes) {
    addCatalogRow("a");
    dir.write("a.mdb", "x");
    Database reader = Database::open(basePath, Database::Mode::ReadOnly);
    reader.exec("BEGIN");
    Statement hold = reader.prepare("SELECT count(*) FROM ＤＢ一覧");
    ASSERT_TRUE(hold.step());
    person.answers = {Answer::Yes};
    EXPECT_EQ(remove("a"), Outcome::Kind::Failed);
    EXPECT_NE(person.allMessages().find(basePath), std::string::npos) << person.allMessages();
    EXPECT_TRUE(fileExists(dir.file("a.mdb")));
    hold = Statement();
    reader.exec("COMMIT");
    EXPECT_EQ(catalogSize(), 1u);
}

}  // namespace
}  // namespace mrk2::test
