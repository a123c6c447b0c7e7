// The learning dictionary window driven through its controls, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "data/BaseDbInit.h"
#include "data/Database.h"
#include "data/LearningTable.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"
#include "ui/LearningDictWindow.h"
#include "ui/Session.h"

using namespace mrk2;
using mrk2::test::RecordingPerson;
using mrk2::test::TempDir;
using mrk2::ui::LearningDictWindow;

namespace {

// A message box of the window takes the focus away while it is open.
struct BoxPerson : RecordingPerson {
    QWidget* window = nullptr;
    void message(const std::string& text, Icon icon) override {
        if (window) {
            QEvent away(QEvent::WindowDeactivate);
            QApplication::sendEvent(window, &away);
        }
        RecordingPerson::message(text, icon);
    }
    using RecordingPerson::message;
};

class LearningDictWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.dbDir = dir.path();
        createBaseDatabase(session.baseDbPath());
        Database db = Database::open(session.baseDbPath());
        db.exec("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES ('東京', '/d'), ('大阪', '/d')");
    }
    std::int64_t add(const std::string& reg, const std::string& tran, std::int64_t dbNo = 0,
                     std::int64_t type = kLevelCity) {
        Database db = Database::open(session.baseDbPath());
        return insertLearningEntry(db, {reg, tran, 1, dbNo, type});
    }
    std::optional<LearningEntry> row(std::int64_t id) {
        Database db = Database::open(session.baseDbPath());
        return readLearningEntry(db, id);
    }
    std::unique_ptr<LearningDictWindow> open(const QString& region = {}) {
        auto w = std::make_unique<LearningDictWindow>(session, person, region);
        person.window = w.get();
        activate(*w);
        return w;
    }
    static void activate(QWidget& w) {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(&w, &e);
    }
    template <typename T>
    static T* get(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(c) << name;
        return c;
    }
    static QString text(QWidget& w, const char* name) { return get<QLabel>(w, name)->text(); }
    static void click(QWidget& w, const char* name) { get<QAbstractButton>(w, name)->click(); }
    // As the operator types: replaces the text of a box.
    static void type(QWidget& w, const char* name, const QString& t) {
        QLineEdit* box = get<QLineEdit>(w, name);
        box->selectAll();
        box->insert(t);
    }
    static QString box(QWidget& w, const char* name) { return get<QLineEdit>(w, name)->text(); }

    TempDir dir;
    ui::Session session;
    BoxPerson person;
};

TEST_F(LearningDictWindowTest, ShowsEveryControlAndPresetsTheSearchFromTheRegion) {
    auto w = open(QStringLiteral("東京"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("学習辞書編集"));
    const std::pair<const char*, const char*> captions[] = {{"cmdSearch", "検索"},
                                                            {"cmdFirst", "先頭"},
                                                            {"cmdPrev", "前"},
                                                            {"cmdNext", "次"},
                                                            {"cmdLast", "末尾"},
                                                            {"cmdNew", "追加"},
                                                            {"cmdDelete", "削除"},
                                                            {"cmdExit", "終了"},
                                                            {"optSearchReg", "登録字句"},
                                                            {"optSearchTran", "変換字句"},
                                                            {"chkSearchTown", "大字・町丁目"},
                                                            {"chkSearchCity", "市区町村"},
                                                            {"chkLocalUser", "ローカル"},
                                                            {"chkCommonUser", "共通"},
                                                            {"optLocalUser", "ローカル"},
                                                            {"optCommonUser", "共通"},
                                                            {"optTown", "大字・町丁目"},
                                                            {"optCity", "市区町村"}};
    for (auto [name, caption] : captions)
        EXPECT_EQ(get<QAbstractButton>(*w, name)->text(), QString::fromUtf8(caption)) << name;
    for (const char* name : {"txtKeyWord", "txtRegister", "txtTransform", "txtRefNo"})
        get<QLineEdit>(*w, name);

    EXPECT_TRUE(get<QCheckBox>(*w, "chkLocalUser")->isChecked());
    EXPECT_FALSE(get<QCheckBox>(*w, "chkCommonUser")->isChecked());
    QComboBox* list = get<QComboBox>(*w, "cmbSearchDbID");
    EXPECT_TRUE(list->isEnabled());
    EXPECT_EQ(list->currentText(), QStringLiteral("東京"));
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(get<QComboBox>(*w, "cmbDbID")->itemText(1), QStringLiteral("大阪"));
    EXPECT_TRUE(get<QCheckBox>(*w, "chkSearchCity")->isChecked());
    EXPECT_FALSE(get<QCheckBox>(*w, "chkSearchTown")->isChecked());
    EXPECT_TRUE(get<QRadioButton>(*w, "optSearchReg")->isChecked());

    auto common = open();
    EXPECT_TRUE(get<QCheckBox>(*common, "chkCommonUser")->isChecked());
    EXPECT_FALSE(get<QComboBox>(*common, "cmbSearchDbID")->isEnabled());
}

TEST_F(LearningDictWindowTest, OwnerBoxesExcludeEachOther) {
    auto w = open(QStringLiteral("東京"));
    QCheckBox* local = get<QCheckBox>(*w, "chkLocalUser");
    QCheckBox* common = get<QCheckBox>(*w, "chkCommonUser");
    QComboBox* list = get<QComboBox>(*w, "cmbSearchDbID");
    common->click();
    EXPECT_FALSE(local->isChecked());
    EXPECT_FALSE(list->isEnabled());
    local->click();
    EXPECT_FALSE(common->isChecked());
    EXPECT_TRUE(list->isEnabled());
    local->click();
    EXPECT_FALSE(local->isChecked());
    EXPECT_FALSE(common->isChecked());
    EXPECT_FALSE(list->isEnabled());
}

TEST_F(LearningDictWindowTest, BrowsesEditsAndSavesWhenMovingOn) {
    auto a = add("新宿", "新宿区");
    add("梅田", "北区", 2, kLevelTown);
    auto w = open();
    // Opening shows what the preset search says: common entries of municipalities.
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("1 件"));
    get<QCheckBox>(*w, "chkSearchTown")->setChecked(true);
    click(*w, "chkLocalUser");  // no region named: every owner
    click(*w, "cmdSearch");
    EXPECT_EQ(text(*w, "lblRecordNo"), QStringLiteral("No. 1"));
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("2 件"));
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("新宿"));
    EXPECT_TRUE(get<QRadioButton>(*w, "optCommonUser")->isChecked());
    EXPECT_FALSE(get<QComboBox>(*w, "cmbDbID")->isEnabled());

    type(*w, "txtTransform", QStringLiteral("新宿区西"));
    click(*w, "optLocalUser");
    EXPECT_TRUE(get<QComboBox>(*w, "cmbDbID")->isEnabled());
    get<QComboBox>(*w, "cmbDbID")->setCurrentIndex(0);
    click(*w, "cmdNext");
    EXPECT_EQ(text(*w, "lblRecordNo"), QStringLiteral("No. 2"));
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("梅田"));
    EXPECT_TRUE(get<QRadioButton>(*w, "optTown")->isChecked());
    EXPECT_EQ(get<QComboBox>(*w, "cmbDbID")->currentText(), QStringLiteral("大阪"));
    EXPECT_EQ(row(a)->transformed, "新宿区西");
    EXPECT_EQ(row(a)->dbNo, 1);
    EXPECT_TRUE(person.questions.empty());
}

TEST_F(LearningDictWindowTest, OwnMessageBoxDoesNotThrowAwayTheNewEntry) {
    add("新宿", "新宿区");
    auto w = open();
    click(*w, "cmdNew");
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("2 件"));
    EXPECT_EQ(box(*w, "txtRefNo"), QStringLiteral("1"));
    EXPECT_TRUE(get<QRadioButton>(*w, "optCommonUser")->isChecked());
    EXPECT_TRUE(get<QRadioButton>(*w, "optCity")->isChecked());
    type(*w, "txtRegister", QStringLiteral("渋谷"));
    click(*w, "cmdPrev");  // no converted phrase yet
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_EQ(person.messages[0].text, "全項目を設定して下さい。");
    activate(*w);  // the focus coming back from the box
    EXPECT_EQ(text(*w, "lblRecordNo"), QStringLiteral("No. 2"));
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("渋谷"));
    EXPECT_TRUE(person.questions.empty());

    type(*w, "txtTransform", QStringLiteral("渋谷区"));
    click(*w, "cmdPrev");
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("新宿"));
    click(*w, "cmdLast");
    EXPECT_EQ(box(*w, "txtTransform"), QStringLiteral("渋谷区"));
}

TEST_F(LearningDictWindowTest, ComingBackKeepsSearchAndEditUntilTheDatabaseChanges) {
    add("新宿", "新宿区");
    auto b = add("渋谷", "渋谷区");
    auto w = open();
    type(*w, "txtKeyWord", QStringLiteral("谷"));
    click(*w, "cmdSearch");
    type(*w, "txtTransform", QStringLiteral("渋谷区役所"));
    activate(*w);  // focus back from another window, nothing changed
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("1 件"));
    EXPECT_EQ(box(*w, "txtTransform"), QStringLiteral("渋谷区役所"));
    EXPECT_TRUE(person.questions.empty());

    // Another program adds an entry: the shown entry is settled, the search runs again.
    add("世田谷", "世田谷区");
    person.answers = {Answer::Cancel};
    activate(*w);
    ASSERT_EQ(person.questions.size(), 1u);
    EXPECT_EQ(person.questions[0], "変更を保存しますか？");
    EXPECT_EQ(box(*w, "txtTransform"), QStringLiteral("渋谷区役所"));
    person.answers = {Answer::Yes};
    activate(*w);
    EXPECT_EQ(row(b)->transformed, "渋谷区役所");
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("2 件"));
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("渋谷")) << "still on the shown entry";
    activate(*w);
    EXPECT_EQ(person.questions.size(), 2u) << "its own save is no change";

    type(*w, "txtTransform", QStringLiteral("変更"));
    person.answers = {Answer::Cancel};
    EXPECT_FALSE(w->close());
    person.answers = {Answer::Yes};
    EXPECT_TRUE(w->close());
    EXPECT_EQ(row(b)->transformed, "変更");
}

TEST_F(LearningDictWindowTest, ComingBackReadsTheBaseDatabaseTheMainWindowNamesNow) {
    auto a = add("新宿", "新宿区");
    auto w = open();
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("1 件"));

    // The operator edits, then moves the main window to another directory.
    type(*w, "txtTransform", QStringLiteral("新宿区役所"));
    TempDir other;
    const std::string oldBase = session.baseDbPath();
    session.dbDir = other.path();
    createBaseDatabase(session.baseDbPath());
    Database::open(session.baseDbPath())
        .exec("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES ('北海道', '/e')");
    add("梅田", "梅田");
    add("難波", "難波", 1);
    person.answers = {Answer::Yes};
    activate(*w);

    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("2 件"));
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("梅田"));
    for (const char* name : {"cmbSearchDbID", "cmbDbID"}) {
        QComboBox* list = get<QComboBox>(*w, name);
        ASSERT_EQ(list->count(), 1) << name;
        EXPECT_EQ(list->itemText(0), QStringLiteral("北海道")) << name;
    }
    click(*w, "cmdNext");
    EXPECT_EQ(get<QComboBox>(*w, "cmbDbID")->currentText(), QStringLiteral("北海道"));
    // The edit went to the database it was made in.
    Database db = Database::open(oldBase);
    EXPECT_EQ(readLearningEntry(db, a)->transformed, "新宿区役所");
}

TEST_F(LearningDictWindowTest, SearchesWithAQuoteAndDeletesToAnEmptyView) {
    add("O'Neil", "オニール");
    add("新宿", "新宿区");
    auto w = open();
    type(*w, "txtKeyWord", QStringLiteral("'"));
    click(*w, "cmdSearch");
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("1 件"));
    EXPECT_EQ(box(*w, "txtRegister"), QStringLiteral("O'Neil"));

    click(*w, "cmdDelete");
    EXPECT_EQ(text(*w, "lblRecordNo"), QStringLiteral("No. 1"));
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("0 件"));
    EXPECT_EQ(box(*w, "txtRegister"), QString());
    EXPECT_TRUE(get<QLineEdit>(*w, "txtRegister")->isReadOnly());
    click(*w, "cmdDelete");
    EXPECT_TRUE(person.messages.empty());

    activate(*w);
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("0 件")) << "the search stays";
    type(*w, "txtKeyWord", QString());
    click(*w, "cmdSearch");
    EXPECT_EQ(text(*w, "lblRecordNum"), QStringLiteral("1 件"));
    EXPECT_FALSE(get<QLineEdit>(*w, "txtRegister")->isReadOnly());
}

}  // namespace

// Not a check: MRK2_SCREENSHOT_DIR=docs/screenshots test_ui --gtest_filter='*Picture*'
// draws the editor with a few entries for the documentation.
TEST_F(LearningDictWindowTest, PictureForTheDocumentation) {
    QByteArray out = qgetenv("MRK2_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "MRK2_SCREENSHOT_DIR is not set";
    add("ｼﾝｼﾞｭｸ", "新宿区");
    add("ﾆｼｼﾝｼﾞｭｸ", "西新宿", 1, kLevelTown);
    add("ｳﾒﾀﾞ", "梅田", 2, kLevelTown);
    add("ｼﾌﾞﾔ", "渋谷区");
    auto w = open(QStringLiteral("東京"));
    w->show();
    QApplication::processEvents();
    click(*w, "cmdNext");
    ASSERT_TRUE(w->grab().save(QString::fromLocal8Bit(out) + "/learning-dict.png"));
}
