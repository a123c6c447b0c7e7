#include "data/RegionDeletion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class RegionDeletionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.strDbDir = dir.path();
        state.strBaseDbPath = dir.file("mrk2.mdb");
        createBaseDatabase(state.strBaseDbPath);
    }
    void addCatalogRow(const std::string& name) {
        Database db = Database::open(state.strBaseDbPath);
        Statement st = db.prepare("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES (?1, ?2)");
        st.bind(1, name).bind(2, dir.path()).run();
    }
    std::size_t catalogSize() { return readCatalog(state.strBaseDbPath).size(); }

    TempDir dir;
    AppState state;
    RecordingPerson person;
};

TEST_F(RegionDeletionTest, OkDeletesRowAndFileEvenWithAQuoteInTheName) {
    addCatalogRow("O'Hare");
    addCatalogRow("other");
    dir.write("O'Hare.mdb", "x");
    person.answers = {Answer::Yes};
    EXPECT_TRUE(deleteRegion(state, person, "O'Hare"));
    EXPECT_EQ(person.questions, (std::vector<std::string>{"O'Hare.mdbを削除していいですか？"}));
    EXPECT_FALSE(fileExists(dir.file("O'Hare.mdb")));
    EXPECT_EQ(catalogSize(), 1u);
    EXPECT_EQ(state.strPrefDbPath, dir.file("O'Hare.mdb"));
}

TEST_F(RegionDeletionTest, CancelMissingFileAndFileWithoutRow) {
    addCatalogRow("a");
    dir.write("a.mdb", "x");
    EXPECT_FALSE(deleteRegion(state, person, "a"));  // Cancel
    EXPECT_TRUE(fileExists(dir.file("a.mdb")));
    EXPECT_EQ(catalogSize(), 1u);

    addCatalogRow("nofile");
    EXPECT_FALSE(deleteRegion(state, person, "nofile"));
    EXPECT_EQ(person.messages.back().text, "地域別ＤＢが見つかりません。");
    EXPECT_EQ(catalogSize(), 2u);

    dir.write("norow.mdb", "x");
    person.answers = {Answer::Yes};
    EXPECT_TRUE(deleteRegion(state, person, "norow"));
    EXPECT_FALSE(fileExists(dir.file("norow.mdb")));

    EXPECT_FALSE(deleteRegion(state, person, ""));
    EXPECT_EQ(person.messages.back().text, "地域名を選択して下さい。");
}

TEST_F(RegionDeletionTest, AFileThatCannotBeDeletedKeepsItsCatalogRow) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may delete from a read-only directory";
    TempDir regions;
    state.strDbDir = regions.path();
    regions.write("locked.mdb", "x");
    addCatalogRow("locked");
    ::chmod(regions.path().c_str(), 0555);
    person.answers = {Answer::Yes};
    EXPECT_FALSE(deleteRegion(state, person, "locked"));
    ::chmod(regions.path().c_str(), 0755);
    EXPECT_TRUE(fileExists(regions.file("locked.mdb")));
    EXPECT_EQ(catalogSize(), 1u);
    EXPECT_EQ(person.messages.size(), 1u);
}

TEST_F(RegionDeletionTest, NamesThatCannotBeFileNamesAreRefusedFirst) {
    for (const std::string& bad :
         {std::string("a/b"), std::string("."), std::string(".."), std::string("a\0b", 3)})
        EXPECT_FALSE(isUsableRegionName(bad)) << bad;
    EXPECT_TRUE(isUsableRegionName("東京都 23区'"));
    dir.write("..mdb", "x");
    EXPECT_FALSE(deleteRegion(state, person, ".."));
    EXPECT_TRUE(person.questions.empty());
    EXPECT_TRUE(fileExists(dir.file("..mdb")));
}

}  // namespace
}  // namespace mrk2::test
