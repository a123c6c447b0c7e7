// The learning dictionary editor without its window: the shown set, the
// form, navigation and the question before edits are dropped.
#include "ui/LearningDictEditor.h"

#include <gtest/gtest.h>

#include "data/Database.h"
#include "support/LearningDb.h"
#include "support/RecordingPerson.h"

using namespace mrk2;
using mrk2::test::LearningDb;
using mrk2::test::RecordingPerson;
using mrk2::ui::LearningDictEditor;
using mrk2::ui::LevelOption;
using mrk2::ui::OwnerOption;

namespace {

TEST(LearningCatalogLoad, TheEditorReportsACatalogPastTheLimit) {
    LearningDb db;
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
    EXPECT_FALSE(editor.loadCatalog().succeeded());
    EXPECT_EQ(editor.catalog().size(), LearningCatalog::kMaxRows);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("(10004)"), std::string::npos);
}

class LearningEditorTest : public ::testing::Test {
  protected:
    LearningDb db;
    RecordingPerson person;
    LearningDictEditor editor{db.path, person};

    void open() {
        ASSERT_TRUE(editor.loadCatalog().succeeded());
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
    ASSERT_TRUE(editor.checkInput().succeeded());
    ASSERT_TRUE(editor.saveRecord().succeeded());
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
    ASSERT_TRUE(editor.saveRecord().succeeded());
    EXPECT_EQ(db.row(a)->dbNo, 1);
    editor.form().dbName = "大阪府";
    ASSERT_TRUE(editor.saveRecord().succeeded());
    EXPECT_EQ(db.row(a)->dbNo, 2);
    editor.form().owner = OwnerOption::Common;
    ASSERT_TRUE(editor.saveRecord().succeeded());
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
    ASSERT_TRUE(editor.saveRecord().succeeded());
    EXPECT_EQ(db.rows(), 1u);
    EXPECT_EQ(db.row(*editor.currentId())->transformed, "A2");
}

TEST_F(LearningEditorTest, MissingBaseDatabaseIsReported) {
    RecordingPerson p;
    LearningDictEditor missing(db.dir.file("nothere.mdb"), p);
    EXPECT_FALSE(missing.loadCatalog().succeeded());
    missing.activate();
    EXPECT_EQ(missing.recordNumText(), "0 件");
    EXPECT_EQ(p.messages.size(), 2u);
}

}  // namespace
