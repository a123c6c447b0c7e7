#include <gtest/gtest.h>

#include "base/Error.h"
#include "data/Database.h"
#include "data/LearningCatalog.h"
#include "data/LearningSearch.h"
#include "data/LearningTable.h"
#include "support/LearningDb.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::LearningDb;

namespace {

LearningCatalog catalogWith(std::string name, std::string id) {
    LearningCatalog c;
    c.names = {"大阪府", std::move(name)};
    c.idList = {"9", std::move(id)};
    return c;
}

std::vector<std::string> registeredOf(LearningDb& db, const LearningQuery& q) {
    Database d = Database::open(db.path);
    std::vector<std::string> out;
    for (auto id : selectLearningIds(d, q.condition, q.pattern))
        out.push_back(readLearningEntry(d, id)->registered.value_or(""));
    return out;
}

}  // namespace

TEST(LearningSearchText, ComposesTheStatementInTheDocumentedShape) {
    LearningSearch s;
    s.commonUser = true;
    s.keyword = "abc";
    s.city = true;
    s.field = PhraseField::Registered;
    EXPECT_EQ(buildLearningQuery(s, {}).text,
              "select * from 学習 where  fldDbNo=0 and fldType=2 and fld登録字句 like '*abc*'");

    LearningSearch local;
    local.localUser = true;
    local.dbName = "東京都";
    local.keyword = "";
    LearningQuery q = buildLearningQuery(local, catalogWith("東京都", "5"));
    EXPECT_EQ(q.text, "select * from 学習 where  fldDbNo=5");
    EXPECT_FALSE(q.pattern);

    // Both level boxes, either phrase, no owner.
    LearningSearch both;
    both.keyword = "x";
    both.town = both.city = true;
    both.field = PhraseField::Either;
    EXPECT_EQ(buildLearningQuery(both, {}).text,
              "select * from 学習 where  (fldType=2 or fldType=3) and (fld変換字句 like '*x*' or "
              "fld登録字句 like '*x*')");

    // No owner, no level: the joint is left out, the phrase stands alone.
    LearningSearch bare;
    bare.keyword = "O'Neil";
    bare.city = false;
    bare.field = PhraseField::Transformed;
    EXPECT_EQ(buildLearningQuery(bare, {}).text,
              "select * from 学習 where  fld変換字句 like '*O'Neil*'");
}

TEST(LearningSearchText, EmptyKeywordAndUnknownRegionDropTheirConditions) {
    LearningSearch s;
    s.town = true;
    s.field = PhraseField::Transformed;
    EXPECT_EQ(buildLearningQuery(s, {}).text, "select * from 学習");
    EXPECT_EQ(buildLearningQuery(s, {}).condition, "");

    s.localUser = true;
    s.dbName = "京都府";  // typed, not in the list
    EXPECT_EQ(buildLearningQuery(s, catalogWith("東京都", "5")).text, "select * from 学習");
    // Common wins over local, as only one of them can be ticked in the window.
    s.commonUser = true;
    EXPECT_EQ(buildLearningQuery(s, catalogWith("京都府", "5")).text,
              "select * from 学習 where  fldDbNo=0");
}

TEST(LearningSearchRun, KeywordIsMatchedAsLiteralText) {
    LearningDb db;
    db.add("O'Neil町", "a");
    db.add("100%町", "b");
    db.add("1000町", "c");
    db.add("a_b", "d");
    db.add("axb", "e");
    db.add("back\\slash", "f");
    db.add("*", "g");
    db.add("ABC", "h");

    auto find = [&](const std::string& kw) {
        LearningSearch s;
        s.keyword = kw;
        s.city = false;
        return registeredOf(db, buildLearningQuery(s, {}));
    };
    EXPECT_EQ(find("'"), std::vector<std::string>{"O'Neil町"});
    EXPECT_EQ(find("%"), std::vector<std::string>{"100%町"});
    EXPECT_EQ(find("_"), std::vector<std::string>{"a_b"});
    EXPECT_EQ(find("\\"), std::vector<std::string>{"back\\slash"});
    EXPECT_EQ(find("*"), std::vector<std::string>{"*"});
    EXPECT_EQ(find("abc"), std::vector<std::string>{"ABC"});  // as the old engine: ASCII case
    EXPECT_EQ(find("町").size(), 3u);
}

TEST(LearningSearchRun, OwnerLevelAndPhraseNarrowTheSet) {
    LearningDb db;
    db.add("共通市", "x", 0, kLevelCity);
    db.add("共通町", "x", 0, kLevelTown);
    db.add("東京市", "x", 1, kLevelCity);
    db.add("空欄", "x", std::nullopt, std::nullopt);  // reads as common, municipality
    db.add("大阪町", "市", 2, kLevelTown);
    LearningCatalog cat;
    loadLearningCatalog(db.path, cat);

    LearningSearch s;
    s.commonUser = true;
    s.keyword = "";
    EXPECT_EQ(registeredOf(db, buildLearningQuery(s, cat)),
              (std::vector<std::string>{"共通市", "共通町", "空欄"}));
    s.keyword = "x";  // city level is ticked by default
    s.field = PhraseField::Transformed;
    EXPECT_EQ(registeredOf(db, buildLearningQuery(s, cat)),
              (std::vector<std::string>{"共通市", "空欄"}));

    LearningSearch local;
    local.localUser = true;
    local.dbName = "大阪府";
    local.keyword = "市";
    local.town = true;
    local.city = false;
    local.field = PhraseField::Either;
    EXPECT_EQ(registeredOf(db, buildLearningQuery(local, cat)), std::vector<std::string>{"大阪町"});
    local.field = PhraseField::Registered;
    EXPECT_TRUE(registeredOf(db, buildLearningQuery(local, cat)).empty());
}

TEST(LearningCatalogLoad, ListsNamesWithIdsAndStopsAtTheLimit) {
    LearningDb db;
    LearningCatalog cat;
    loadLearningCatalog(db.path, cat);
    ASSERT_EQ(cat.size(), 2u);
    EXPECT_EQ(cat.names[1], "大阪府");
    EXPECT_EQ(cat.idList[1], "2");
    EXPECT_EQ(cat.findComboIndex("大阪府"), 1);
    EXPECT_EQ(cat.findComboIndex("大阪"), -1);
    EXPECT_EQ(cat.findIdIndex(2), 1);
    EXPECT_EQ(cat.findIdIndex(3), -1);

    {
        Database d = Database::open(db.path);
        Transaction tx(d);
        Statement st = d.prepare("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES (?1, '/d')");
        for (int i = 0; i < 10000; ++i)
            st.bind(1, "R" + std::to_string(i)).run();
        tx.commit();
    }
    LearningCatalog full;
    EXPECT_THROW(loadLearningCatalog(db.path, full), Error);
    EXPECT_EQ(full.size(), LearningCatalog::kMaxRows);
}

TEST(LearningRefCount, AcceptsWholeCountsOnly) {
    EXPECT_EQ(parseRefCount("12"), 12);
    EXPECT_EQ(parseRefCount(" 7 "), 7);
    EXPECT_EQ(parseRefCount("2147483647"), 2147483647);
    EXPECT_FALSE(parseRefCount("2147483648"));
    EXPECT_FALSE(parseRefCount("-1"));
    EXPECT_FALSE(parseRefCount("1.5"));
    EXPECT_FALSE(parseRefCount("abc"));
    EXPECT_FALSE(parseRefCount("１２"));
    EXPECT_FALSE(parseRefCount(" "));
}
