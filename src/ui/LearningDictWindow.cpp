#include "ui/LearningDictWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/Person.h"
#include "ui/LearningDictEditor.h"
#include "ui/Session.h"
#include "ui/UiText.h"
#include "ui/WindowPlacement.h"

namespace mrk2::ui {

// Passes everything to the tool's person, counting the message boxes that are
// open. A box of this window takes the focus away and gives it back when it
// closes; that return must not count as coming back to the window, or every
// "全項目を設定して下さい。" would throw away the entry being typed.
class LearningDictWindow::GuardedPerson : public Person {
  public:
    explicit GuardedPerson(Person& inner) : inner_(inner) {}
    int open() const { return open_; }

    void message(const std::string& text, Icon icon) override {
        Scope s(open_);
        inner_.message(text, icon);
    }
    using Person::message;
    bool askYesNo(const std::string& text) override {
        Scope s(open_);
        return inner_.askYesNo(text);
    }
    bool askOkCancel(const std::string& text) override {
        Scope s(open_);
        return inner_.askOkCancel(text);
    }
    Answer askYesNoCancel(const std::string& text) override {
        Scope s(open_);
        return inner_.askYesNoCancel(text);
    }

  private:
    struct Scope {
        explicit Scope(int& n) : n_(n) { ++n_; }
        ~Scope() { --n_; }
        int& n_;
    };
    Person& inner_;
    int open_ = 0;
};

namespace {

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QGroupBox* frame(const QString& caption, const char* name) {
    return named(new QGroupBox(caption), name);
}

}  // namespace

LearningDictWindow::LearningDictWindow(const Session& session, Person& person,
                                       const QString& regionText, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      person_(std::make_unique<GuardedPerson>(person)),
      editor_(std::make_unique<LearningDictEditor>(session.baseDbPath(), *person_)) {
    setObjectName(QStringLiteral("frmLearningDict"));
    setWindowTitle(QStringLiteral("学習辞書編集"));
    buildControls();
    editor_->loadCatalog();  // an error is reported; the lists keep what was read
    fillCatalogLists();
    dbBox_->setEnabled(false);
    preset(regionText);
    showForm();
    centerOnScreen(this);
}

LearningDictWindow::~LearningDictWindow() = default;

void LearningDictWindow::buildControls() {
    // Search frame.
    auto* frmSearch = frame(QStringLiteral("検索"), "frmSearch");
    keywordEdit_ = named(new QLineEdit, "txtKeyWord");
    auto* frmWord = frame(QStringLiteral("字句"), "frmWord");
    searchRegisteredOption_ = named(new QRadioButton(QStringLiteral("登録字句")), "optSearchReg");
    searchTransformedOption_ = named(new QRadioButton(QStringLiteral("変換字句")), "optSearchTran");
    auto* wordLayout = new QVBoxLayout(frmWord);
    wordLayout->addWidget(searchRegisteredOption_);
    wordLayout->addWidget(searchTransformedOption_);
    auto* frmSerachType = frame(QStringLiteral("区分"), "frmSerachType");
    searchTownCheck_ = named(new QCheckBox(QStringLiteral("大字・町丁目")), "chkSearchTown");
    searchCityCheck_ = named(new QCheckBox(QStringLiteral("市区町村")), "chkSearchCity");
    auto* typeLayout = new QVBoxLayout(frmSerachType);
    typeLayout->addWidget(searchTownCheck_);
    typeLayout->addWidget(searchCityCheck_);
    auto* frmSearchUser = frame(QStringLiteral("ユーザー"), "frmSearchUser");
    searchLocalCheck_ = named(new QCheckBox(QStringLiteral("ローカル")), "chkLocalUser");
    searchCommonCheck_ = named(new QCheckBox(QStringLiteral("共通")), "chkCommonUser");
    searchDbBox_ = named(new QComboBox, "cmbSearchDbID");
    searchDbBox_->setEditable(true);
    searchDbBox_->setInsertPolicy(QComboBox::NoInsert);
    searchDbBox_->setMinimumWidth(140);
    auto* userLayout = new QGridLayout(frmSearchUser);
    userLayout->addWidget(searchLocalCheck_, 0, 0);
    userLayout->addWidget(searchDbBox_, 0, 1);
    userLayout->addWidget(searchCommonCheck_, 1, 0);
    auto* searchLayout = new QGridLayout(frmSearch);
    searchLayout->addWidget(new QLabel(QStringLiteral("キーワード")), 0, 0);
    searchLayout->addWidget(keywordEdit_, 0, 1, 1, 2);
    searchLayout->addWidget(frmWord, 1, 0);
    searchLayout->addWidget(frmSerachType, 1, 1);
    searchLayout->addWidget(frmSearchUser, 1, 2);
    searchButton_ = named(new QPushButton(QStringLiteral("検索")), "cmdSearch");

    // Counter.
    recordNoLabel_ = named(new QLabel, "lblRecordNo");
    recordCountLabel_ = named(new QLabel, "lblRecordNum");
    recordCountLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Entry.
    registeredEdit_ = named(new QLineEdit, "txtRegister");
    transformedEdit_ = named(new QLineEdit, "txtTransform");
    refCountEdit_ = named(new QLineEdit, "txtRefNo");
    refCountEdit_->setMaximumWidth(100);
    auto* frmUserType = frame(QStringLiteral("ユーザー"), "frmUserType");
    localOwnerOption_ = named(new QRadioButton(QStringLiteral("ローカル")), "optLocalUser");
    commonOwnerOption_ = named(new QRadioButton(QStringLiteral("共通")), "optCommonUser");
    dbBox_ = named(new QComboBox, "cmbDbID");
    dbBox_->setEditable(true);
    dbBox_->setInsertPolicy(QComboBox::NoInsert);
    dbBox_->setMinimumWidth(140);
    userGroup_ = new QButtonGroup(this);
    userGroup_->addButton(localOwnerOption_);
    userGroup_->addButton(commonOwnerOption_);
    auto* userTypeLayout = new QGridLayout(frmUserType);
    userTypeLayout->addWidget(localOwnerOption_, 0, 0);
    userTypeLayout->addWidget(dbBox_, 0, 1);
    userTypeLayout->addWidget(commonOwnerOption_, 1, 0);
    userTypeLayout->setColumnStretch(2, 1);
    auto* frmTypeOpt = frame(QStringLiteral("区分"), "frmTypeOpt");
    townLevelOption_ = named(new QRadioButton(QStringLiteral("大字・町丁目")), "optTown");
    cityLevelOption_ = named(new QRadioButton(QStringLiteral("市区町村")), "optCity");
    typeGroup_ = new QButtonGroup(this);
    typeGroup_->addButton(townLevelOption_);
    typeGroup_->addButton(cityLevelOption_);
    auto* typeOptLayout = new QVBoxLayout(frmTypeOpt);
    typeOptLayout->addWidget(townLevelOption_);
    typeOptLayout->addWidget(cityLevelOption_);

    // Buttons.
    firstButton_ = named(new QPushButton(QStringLiteral("先頭")), "cmdFirst");
    previousButton_ = named(new QPushButton(QStringLiteral("前")), "cmdPrev");
    nextButton_ = named(new QPushButton(QStringLiteral("次")), "cmdNext");
    lastButton_ = named(new QPushButton(QStringLiteral("末尾")), "cmdLast");
    newButton_ = named(new QPushButton(QStringLiteral("追加")), "cmdNew");
    deleteButton_ = named(new QPushButton(QStringLiteral("削除")), "cmdDelete");
    closeButton_ = named(new QPushButton(QStringLiteral("終了")), "cmdExit");

    // Layout: search on top, then the counter, the entry with its options, the
    // navigation and the bottom buttons.
    auto* top = new QHBoxLayout;
    top->addWidget(frmSearch, 1);
    top->addWidget(searchButton_, 0, Qt::AlignBottom);

    auto* counter = new QHBoxLayout;
    counter->addWidget(recordNoLabel_);
    counter->addStretch(1);
    counter->addWidget(recordCountLabel_);

    auto* entry = new QGridLayout;
    entry->addWidget(new QLabel(QStringLiteral("登録字句")), 0, 0);
    entry->addWidget(registeredEdit_, 0, 1, 1, 2);
    entry->addWidget(new QLabel(QStringLiteral("変換字句")), 1, 0);
    entry->addWidget(transformedEdit_, 1, 1, 1, 2);
    entry->addWidget(new QLabel(QStringLiteral("参照回数")), 2, 0);
    entry->addWidget(refCountEdit_, 2, 1);
    entry->setColumnStretch(2, 1);

    auto* options = new QHBoxLayout;
    options->addWidget(frmUserType, 1);
    options->addWidget(frmTypeOpt);

    auto* nav = new QHBoxLayout;
    for (QPushButton* b : {firstButton_, previousButton_, nextButton_, lastButton_})
        nav->addWidget(b);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(newButton_);
    bottom->addWidget(deleteButton_);
    bottom->addStretch(1);
    bottom->addWidget(closeButton_);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(counter);
    main->addLayout(entry);
    main->addLayout(options);
    main->addLayout(nav);
    main->addSpacing(6);
    main->addLayout(bottom);

    // What the operator changes in the entry belongs to the shown entry.
    for (QLineEdit* t : {registeredEdit_, transformedEdit_, refCountEdit_})
        connect(t, &QLineEdit::textEdited, this, [this] { edited(); });
    connect(dbBox_, &QComboBox::editTextChanged, this, [this] { edited(); });
    connect(localOwnerOption_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            dbBox_->setEnabled(true);
        edited();
    });
    connect(commonOwnerOption_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            dbBox_->setEnabled(false);
        edited();
    });
    connect(townLevelOption_, &QRadioButton::toggled, this, [this] { edited(); });
    connect(cityLevelOption_, &QRadioButton::toggled, this, [this] { edited(); });

    // Ticking one owner box clears the other, also when code ticks it.
    connect(searchLocalCheck_, &QCheckBox::toggled, this, &LearningDictWindow::onLocalUserToggled);
    connect(searchCommonCheck_, &QCheckBox::toggled, this,
            &LearningDictWindow::onCommonUserToggled);

    connect(searchButton_, &QPushButton::clicked, this, &LearningDictWindow::onSearch);
    connect(firstButton_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->moveFirst(); }); });
    connect(previousButton_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->movePrevious(); }); });
    connect(nextButton_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->moveNext(); }); });
    connect(lastButton_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->moveLast(); }); });
    connect(newButton_, &QPushButton::clicked, this, &LearningDictWindow::onNew);
    connect(deleteButton_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->deleteCurrent(); }); });
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
}

void LearningDictWindow::fillCatalogLists() {
    showing_ = true;
    for (QComboBox* list : {searchDbBox_, dbBox_}) {
        const QString shown = list->currentText();
        list->clear();
        for (const std::string& name : editor_->catalog().names)
            list->addItem(qs(name));
        list->setCurrentIndex(-1);
        list->setEditText(shown);
    }
    showing_ = false;
}

void LearningDictWindow::preset(const QString& regionText) {
    if (!regionText.isEmpty()) {
        searchLocalCheck_->setChecked(true);
        searchDbBox_->setEnabled(true);
        searchDbBox_->setEditText(regionText);
    } else {
        searchCommonCheck_->setChecked(true);
        searchDbBox_->setEnabled(false);
    }
    searchCityCheck_->setChecked(true);
    searchRegisteredOption_->setChecked(true);
}

void LearningDictWindow::onLocalUserToggled(bool on) {
    searchDbBox_->setEnabled(on);
    if (on)
        searchCommonCheck_->setChecked(false);
}

void LearningDictWindow::onCommonUserToggled(bool on) {
    if (on) {
        searchDbBox_->setEnabled(false);
        searchLocalCheck_->setChecked(false);
    }
}

bool LearningDictWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate && person_->open() > 0) {
        deactivatedByOwnDialog_ = true;
    } else if (e->type() == QEvent::WindowActivate) {
        if (person_->open() > 0 || deactivatedByOwnDialog_)
            deactivatedByOwnDialog_ = false;  // back from a box of this window
        else
            onActivated();
    }
    return QWidget::event(e);
}

void LearningDictWindow::onActivated() {
    // Focus coming back changes nothing by itself: the search, the shown entry
    // and what the operator typed stay as long as the base database does.
    if (editor_->isCurrent(session_.baseDbPath()))
        return;
    // The entry being changed belongs to the database shown so far; it is
    // settled there before the editor follows the one the main window names now.
    readForm();
    if (!editor_->settleEdits())
        return;
    const bool opening = !editor_->bound();
    editor_->follow(session_.baseDbPath());
    fillCatalogLists();
    // What the window shows first is what its search boxes say, as preset.
    if (opening)
        editor_->search(searchBoxes());
    showForm();
}

void LearningDictWindow::closeEvent(QCloseEvent* e) {
    readForm();
    if (!editor_->settleEdits()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void LearningDictWindow::edited() {
    if (!showing_)
        editor_->markEdited();
}

template <typename Action>
void LearningDictWindow::act(Action action) {
    readForm();
    action();
    showForm();
}

void LearningDictWindow::onSearch() {
    readForm();
    if (!editor_->settleEdits())
        return;
    editor_->search(searchBoxes());
    showForm();
}

LearningSearch LearningDictWindow::searchBoxes() const {
    LearningSearch s;
    s.keyword = str(keywordEdit_->text());
    s.field = searchRegisteredOption_->isChecked()    ? PhraseField::Registered
              : searchTransformedOption_->isChecked() ? PhraseField::Transformed
                                                      : PhraseField::Either;
    s.town = searchTownCheck_->isChecked();
    s.city = searchCityCheck_->isChecked();
    s.localUser = searchLocalCheck_->isChecked();
    s.commonUser = searchCommonCheck_->isChecked();
    s.dbName = str(searchDbBox_->currentText());
    return s;
}

void LearningDictWindow::onNew() {
    act([this] { editor_->addNew(); });
    if (editor_->isNewEntry())
        registeredEdit_->setFocus();
}

void LearningDictWindow::readForm() {
    LearningEntryForm& f = editor_->form();
    f.registered = str(registeredEdit_->text());
    f.transformed = str(transformedEdit_->text());
    f.refCount = str(refCountEdit_->text());
    f.owner = localOwnerOption_->isChecked()    ? OwnerOption::Local
              : commonOwnerOption_->isChecked() ? OwnerOption::Common
                                                : OwnerOption::None;
    f.dbName = str(dbBox_->currentText());
    f.level = cityLevelOption_->isChecked()   ? LevelOption::City
              : townLevelOption_->isChecked() ? LevelOption::Town
                                              : LevelOption::None;
}

void LearningDictWindow::showForm() {
    showing_ = true;
    const LearningEntryForm& f = editor_->form();
    auto setText = [](QLineEdit* box, const std::string& text) {
        if (box->text() != qs(text))
            box->setText(qs(text));
    };
    setText(registeredEdit_, f.registered);
    setText(transformedEdit_, f.transformed);
    setText(refCountEdit_, f.refCount);
    // The groups may show no choice at all, which an exclusive group refuses.
    auto choose = [](QButtonGroup* group, QRadioButton* on) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(b == on);
        group->setExclusive(true);
    };
    choose(userGroup_, f.owner == OwnerOption::Local    ? localOwnerOption_
                       : f.owner == OwnerOption::Common ? commonOwnerOption_
                                                        : nullptr);
    if (dbBox_->currentText() != qs(f.dbName))
        dbBox_->setEditText(qs(f.dbName));
    dbBox_->setEnabled(f.owner == OwnerOption::Local);
    choose(typeGroup_, f.level == LevelOption::City   ? cityLevelOption_
                       : f.level == LevelOption::Town ? townLevelOption_
                                                      : nullptr);
    // With no entry there is nothing to type into.
    for (QLineEdit* t : {registeredEdit_, transformedEdit_, refCountEdit_})
        t->setReadOnly(!editor_->hasEntry());
    recordNoLabel_->setText(qs(editor_->recordNoText()));
    recordCountLabel_->setText(qs(editor_->recordNumText()));
    showing_ = false;
}

}  // namespace mrk2::ui
