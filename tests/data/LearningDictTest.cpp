#include <gtest/gtest.h>

#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "data/LearningCatalog.h"
#include "data/LearningDictEditor.h"
#include "data/LearningSearch.h"
#include "data/LearningTable.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using mrk2::test::RecordingPerson;
using mrk2::test::TempDir;

namespace {

// A base database with a catalog of two regions (ids 1 and 2) and a dictionary
// filled by the test.
struct LearningDb {
    TempDir dir;
    std::string path = dir.file("mrk2.mdb");

    LearningDb() {
        createBaseDatabase(path);
        Database db = Database::open(path);
        db.exec(
            "INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES ('東京都', '/d'), ('大阪府', '/d')");
    }
    std::int64_t add(const std::string& reg, const std::string& tran,
                     std::optional<std::int64_t> dbNo = 0,
                     std::optional<std::int64_t> type = kLevelCity, std::int64_t count = 1) {
        Database db = Database::open(path);
        return insertLearningEntry(db, {reg, tran, count, dbNo, type});
    }
    std::optional<LearningEntry> row(std::int64_t id) {
        Database db = Database::open(path);
        return readLearningEntry(db, id);
    }
    std::size_t rows() {
        Database db = Database::open(path);
        return selectLearningIds(db, "", std::nullopt).size();
    }
};

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
    RecordingPerson person;
    LearningDictEditor editor(db.path, person);
    EXPECT_FALSE(editor.loadCatalog());
    EXPECT_EQ(editor.catalog().size(), LearningCatalog::kMaxRows);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("(10004)"), std::string::npos);
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

class LearningEditorTest : public ::testing::Test {
  protected:
    LearningDb db;
    RecordingPerson person;
    LearningDictEditor editor{db.path, person};

    void open() {
        ASSERT_TRUE(editor.loadCatalog());
        editor.activate();
    }
    std::string shown() const { return editor.form().registered; }
};

TEST_F(LearningEditorTest, EmptyDictionaryShowsNumberOneOfNone) {
    open();
    editor.form().owner = OwnerOption::Local;
    editor.form().level = LevelOption::Town;
    editor.activate();
    EXPECT_EQ(editor.recordNoText(), "No. 1");
    EXPECT_EQ(editor.recordNumText(), "0 件");
    EXPECT_EQ(editor.form().owner, OwnerOption::Local);  // options keep what they showed
    EXPECT_EQ(editor.form().level, LevelOption::Town);

    // Delete with nothing shown is harmless.
    editor.deleteCurrent();
    EXPECT_EQ(editor.recordNumText(), "0 件");
    EXPECT_TRUE(person.messages.empty());

    // The first entry of an empty dictionary can be added.
    editor.addNew();
    EXPECT_EQ(editor.recordNoText(), "No. 1");
    EXPECT_EQ(editor.recordNumText(), "1 件");
    editor.form().registered = "新宿";
    editor.form().transformed = "新宿区";
    ASSERT_TRUE(editor.checkInput());
    ASSERT_TRUE(editor.saveRecord());
    EXPECT_EQ(db.rows(), 1u);
}

TEST_F(LearningEditorTest, NullOwnerAndLevelReadAsCommonMunicipality) {
    db.add("a", "A", std::nullopt, std::nullopt);
    db.add("b", "B", 2, 7);
    db.add("c", "C", 99, kLevelCity);  // an owner no longer in the catalog
    open();
    EXPECT_EQ(editor.form().owner, OwnerOption::Common);
    EXPECT_EQ(editor.form().dbName, "");
    EXPECT_EQ(editor.form().level, LevelOption::City);
    editor.moveNext();
    EXPECT_EQ(editor.form().owner, OwnerOption::Local);
    EXPECT_EQ(editor.form().dbName, "大阪府");
    EXPECT_EQ(editor.form().level, LevelOption::Town);  // any level but 2 shows as town
    editor.moveNext();
    EXPECT_EQ(editor.form().owner, OwnerOption::Local);
    EXPECT_EQ(editor.form().dbName, "") << "no list entry: no region is named";
    auto c = *editor.currentId();
    editor.movePrevious();
    EXPECT_EQ(db.row(c)->dbNo, 99) << "moving on keeps the owner";
}

TEST_F(LearningEditorTest, NavigationChecksAndSavesBeforeMoving) {
    auto a = db.add("a", "A");
    db.add("b", "B");
    db.add("c", "C");
    open();
    EXPECT_EQ(editor.recordNumText(), "3 件");

    // Prev on the first entry: the check runs and fails, nothing moves.
    editor.form().transformed = "";
    editor.movePrevious();
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text, "全項目を設定して下さい。");
    editor.moveNext();
    EXPECT_EQ(person.messages.size(), 2u);
    EXPECT_EQ(editor.currentPos(), 0);

    // An edit is written when the operator moves on.
    editor.form().transformed = "A2";
    editor.form().level = LevelOption::Town;
    editor.moveNext();
    EXPECT_EQ(editor.recordNoText(), "No. 2");
    EXPECT_EQ(shown(), "b");
    EXPECT_EQ(db.row(a)->transformed, "A2");
    EXPECT_EQ(db.row(a)->type, kLevelTown);

    editor.moveLast();
    EXPECT_EQ(shown(), "c");
    editor.moveNext();  // on the last entry: nothing moves
    EXPECT_EQ(editor.currentPos(), 2);
    editor.moveFirst();
    EXPECT_EQ(shown(), "a");
    EXPECT_EQ(person.messages.size(), 2u);
}

TEST_F(LearningEditorTest, ReferenceCountMustBeACount) {
    auto a = db.add("a", "A", 0, kLevelCity, 5);
    db.add("b", "B");
    open();
    EXPECT_EQ(editor.form().refCount, "5");
    editor.form().refCount = "five";
    editor.moveNext();
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text, kRefCountNotNumber);
    EXPECT_EQ(editor.currentPos(), 0);
    EXPECT_EQ(db.row(a)->refCount, "5");
}

TEST_F(LearningEditorTest, OwnerFollowsTheListAndKeepsUnknownNames) {
    auto a = db.add("a", "A", 1, kLevelCity);
    db.add("b", "B");
    open();
    editor.form().owner = OwnerOption::Local;
    editor.form().dbName = "京都府";  // typed, not in the catalog
    ASSERT_TRUE(editor.saveRecord());
    EXPECT_EQ(db.row(a)->dbNo, 1);
    editor.form().dbName = "大阪府";
    ASSERT_TRUE(editor.saveRecord());
    EXPECT_EQ(db.row(a)->dbNo, 2);
    editor.form().owner = OwnerOption::Common;
    ASSERT_TRUE(editor.saveRecord());
    EXPECT_EQ(db.row(a)->dbNo, 0);
}

TEST_F(LearningEditorTest, NewEntryStartsBlankCommonMunicipalityWithCountOne) {
    db.add("a", "A", 2, kLevelTown);
    db.add("b", "B");
    open();
    editor.addNew();
    EXPECT_TRUE(editor.isNewEntry());
    EXPECT_EQ(editor.recordNoText(), "No. 3");
    EXPECT_EQ(editor.recordNumText(), "3 件");
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(editor.form().transformed, "");
    EXPECT_EQ(editor.form().refCount, "1");
    EXPECT_EQ(editor.form().owner, OwnerOption::Common);
    EXPECT_EQ(editor.form().level, LevelOption::City);
    EXPECT_EQ(db.rows(), 2u);  // nothing is written until it is saved

    // An incomplete new entry blocks a second one.
    editor.addNew();
    EXPECT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(editor.recordNumText(), "3 件");

    editor.form().registered = "c";
    editor.form().transformed = "C";
    editor.movePrevious();  // saves, then shows the entry before it
    EXPECT_EQ(shown(), "b");
    EXPECT_EQ(db.rows(), 3u);
    editor.moveLast();
    EXPECT_EQ(shown(), "c");
    EXPECT_FALSE(editor.isNewEntry());
}

TEST_F(LearningEditorTest, DeleteShowsTheFollowingOrTheNewLastEntry) {
    db.add("a", "A");
    db.add("b", "B");
    db.add("c", "C", 1, kLevelTown);
    open();
    editor.moveNext();
    editor.deleteCurrent();  // the middle: "c" takes over number 2
    EXPECT_EQ(editor.recordNoText(), "No. 2");
    EXPECT_EQ(editor.recordNumText(), "2 件");
    EXPECT_EQ(shown(), "c");
    EXPECT_EQ(editor.form().owner, OwnerOption::Local);
    EXPECT_EQ(editor.form().level, LevelOption::Town);

    editor.deleteCurrent();  // the last: "a" is now last
    EXPECT_EQ(editor.recordNoText(), "No. 1");
    EXPECT_EQ(shown(), "a");
    EXPECT_EQ(editor.form().owner, OwnerOption::Common);

    editor.deleteCurrent();  // the only one: an empty view like an empty dictionary
    EXPECT_EQ(editor.recordNoText(), "No. 1");
    EXPECT_EQ(editor.recordNumText(), "0 件");
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(editor.form().refCount, "");
    EXPECT_FALSE(editor.currentId());
    EXPECT_EQ(db.rows(), 0u);
    editor.deleteCurrent();
    editor.moveNext();  // the check still complains, nothing breaks
    EXPECT_EQ(editor.recordNumText(), "0 件");
}

TEST_F(LearningEditorTest, DeletingAnUnsavedNewEntryDropsIt) {
    db.add("a", "A");
    open();
    editor.addNew();
    editor.deleteCurrent();
    EXPECT_EQ(editor.recordNumText(), "1 件");
    EXPECT_EQ(shown(), "a");
    EXPECT_EQ(db.rows(), 1u);
}

TEST_F(LearningEditorTest, SearchAndActivationRebindTheSet) {
    db.add("新宿", "A", 1);
    db.add("渋谷", "B", 1);
    db.add("品川", "C", 0);
    open();
    LearningSearch s;
    s.localUser = true;
    s.dbName = "東京都";
    s.keyword = "";
    editor.search(s);
    EXPECT_EQ(editor.queryText(), "select * from 学習 where  fldDbNo=1");
    EXPECT_EQ(editor.recordNumText(), "2 件");
    editor.moveNext();
    EXPECT_EQ(shown(), "渋谷");
    editor.activate();
    EXPECT_EQ(editor.queryText(), "select * from 学習");
    EXPECT_EQ(editor.recordNumText(), "3 件");
    EXPECT_EQ(editor.currentPos(), 0);
}

TEST_F(LearningEditorTest, PendingEditsAreSettledByAsking) {
    auto a = db.add("a", "A");
    open();
    // Nothing changed: nothing asked.
    EXPECT_TRUE(editor.settleEdits());
    EXPECT_TRUE(person.questions.empty());

    editor.form().transformed = "A2";
    editor.markEdited();
    person.answers = {Answer::Cancel};
    EXPECT_FALSE(editor.settleEdits());
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0], "変更を保存しますか？");

    person.answers = {Answer::No};
    EXPECT_TRUE(editor.settleEdits());
    EXPECT_EQ(db.row(a)->transformed, "A");

    editor.markEdited();
    editor.form().registered = "";
    person.answers = {Answer::Yes};
    EXPECT_FALSE(editor.settleEdits());  // the check refuses, the operator stays
    EXPECT_EQ(person.messages.back().text, "全項目を設定して下さい。");

    editor.form().registered = "a2";
    person.answers = {Answer::Yes};
    EXPECT_TRUE(editor.settleEdits());
    EXPECT_EQ(db.row(a)->registered, "a2");
    EXPECT_FALSE(editor.edited());
}

TEST_F(LearningEditorTest, AnEntryRemovedBehindTheEditorIsWrittenAgain) {
    auto a = db.add("a", "A");
    open();
    {
        Database d = Database::open(db.path);
        deleteLearningEntry(d, a);
    }
    editor.form().transformed = "A2";
    ASSERT_TRUE(editor.saveRecord());
    EXPECT_EQ(db.rows(), 1u);
    EXPECT_EQ(db.row(*editor.currentId())->transformed, "A2");
}

TEST_F(LearningEditorTest, MissingBaseDatabaseIsReported) {
    RecordingPerson p;
    LearningDictEditor missing(db.dir.file("nothere.mdb"), p);
    EXPECT_FALSE(missing.loadCatalog());
    missing.activate();
    EXPECT_EQ(missing.recordNumText(), "0 件");
    EXPECT_EQ(p.messages.size(), 2u);
}
