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
    cmbDbID_->setEnabled(false);
    preset(regionText);
    showForm();
    centerOnScreen(this);
}

LearningDictWindow::~LearningDictWindow() = default;

void LearningDictWindow::buildControls() {
    // Search frame.
    auto* frmSearch = frame(QStringLiteral("検索"), "frmSearch");
    txtKeyWord_ = named(new QLineEdit, "txtKeyWord");
    auto* frmWord = frame(QStringLiteral("字句"), "frmWord");
    optSearchReg_ = named(new QRadioButton(QStringLiteral("登録字句")), "optSearchReg");
    optSearchTran_ = named(new QRadioButton(QStringLiteral("変換字句")), "optSearchTran");
    auto* wordLayout = new QVBoxLayout(frmWord);
    wordLayout->addWidget(optSearchReg_);
    wordLayout->addWidget(optSearchTran_);
    auto* frmSerachType = frame(QStringLiteral("区分"), "frmSerachType");
    chkSearchTown_ = named(new QCheckBox(QStringLiteral("大字・町丁目")), "chkSearchTown");
    chkSearchCity_ = named(new QCheckBox(QStringLiteral("市区町村")), "chkSearchCity");
    auto* typeLayout = new QVBoxLayout(frmSerachType);
    typeLayout->addWidget(chkSearchTown_);
    typeLayout->addWidget(chkSearchCity_);
    auto* frmSearchUser = frame(QStringLiteral("ユーザー"), "frmSearchUser");
    chkLocalUser_ = named(new QCheckBox(QStringLiteral("ローカル")), "chkLocalUser");
    chkCommonUser_ = named(new QCheckBox(QStringLiteral("共通")), "chkCommonUser");
    cmbSearchDbID_ = named(new QComboBox, "cmbSearchDbID");
    cmbSearchDbID_->setEditable(true);
    cmbSearchDbID_->setInsertPolicy(QComboBox::NoInsert);
    cmbSearchDbID_->setMinimumWidth(140);
    auto* userLayout = new QGridLayout(frmSearchUser);
    userLayout->addWidget(chkLocalUser_, 0, 0);
    userLayout->addWidget(cmbSearchDbID_, 0, 1);
    userLayout->addWidget(chkCommonUser_, 1, 0);
    auto* searchLayout = new QGridLayout(frmSearch);
    searchLayout->addWidget(new QLabel(QStringLiteral("キーワード")), 0, 0);
    searchLayout->addWidget(txtKeyWord_, 0, 1, 1, 2);
    searchLayout->addWidget(frmWord, 1, 0);
    searchLayout->addWidget(frmSerachType, 1, 1);
    searchLayout->addWidget(frmSearchUser, 1, 2);
    cmdSearch_ = named(new QPushButton(QStringLiteral("検索")), "cmdSearch");

    // Counter.
    lblRecordNo_ = named(new QLabel, "lblRecordNo");
    lblRecordNum_ = named(new QLabel, "lblRecordNum");
    lblRecordNum_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Entry.
    txtRegister_ = named(new QLineEdit, "txtRegister");
    txtTransform_ = named(new QLineEdit, "txtTransform");
    txtRefNo_ = named(new QLineEdit, "txtRefNo");
    txtRefNo_->setMaximumWidth(100);
    auto* frmUserType = frame(QStringLiteral("ユーザー"), "frmUserType");
    optLocalUser_ = named(new QRadioButton(QStringLiteral("ローカル")), "optLocalUser");
    optCommonUser_ = named(new QRadioButton(QStringLiteral("共通")), "optCommonUser");
    cmbDbID_ = named(new QComboBox, "cmbDbID");
    cmbDbID_->setEditable(true);
    cmbDbID_->setInsertPolicy(QComboBox::NoInsert);
    cmbDbID_->setMinimumWidth(140);
    userGroup_ = new QButtonGroup(this);
    userGroup_->addButton(optLocalUser_);
    userGroup_->addButton(optCommonUser_);
    auto* userTypeLayout = new QGridLayout(frmUserType);
    userTypeLayout->addWidget(optLocalUser_, 0, 0);
    userTypeLayout->addWidget(cmbDbID_, 0, 1);
    userTypeLayout->addWidget(optCommonUser_, 1, 0);
    userTypeLayout->setColumnStretch(2, 1);
    auto* frmTypeOpt = frame(QStringLiteral("区分"), "frmTypeOpt");
    optTown_ = named(new QRadioButton(QStringLiteral("大字・町丁目")), "optTown");
    optCity_ = named(new QRadioButton(QStringLiteral("市区町村")), "optCity");
    typeGroup_ = new QButtonGroup(this);
    typeGroup_->addButton(optTown_);
    typeGroup_->addButton(optCity_);
    auto* typeOptLayout = new QVBoxLayout(frmTypeOpt);
    typeOptLayout->addWidget(optTown_);
    typeOptLayout->addWidget(optCity_);

    // Buttons.
    cmdFirst_ = named(new QPushButton(QStringLiteral("先頭")), "cmdFirst");
    cmdPrev_ = named(new QPushButton(QStringLiteral("前")), "cmdPrev");
    cmdNext_ = named(new QPushButton(QStringLiteral("次")), "cmdNext");
    cmdLast_ = named(new QPushButton(QStringLiteral("末尾")), "cmdLast");
    cmdNew_ = named(new QPushButton(QStringLiteral("追加")), "cmdNew");
    cmdDelete_ = named(new QPushButton(QStringLiteral("削除")), "cmdDelete");
    cmdExit_ = named(new QPushButton(QStringLiteral("終了")), "cmdExit");

    // Layout: search on top, then the counter, the entry with its options, the
    // navigation and the bottom buttons.
    auto* top = new QHBoxLayout;
    top->addWidget(frmSearch, 1);
    top->addWidget(cmdSearch_, 0, Qt::AlignBottom);

    auto* counter = new QHBoxLayout;
    counter->addWidget(lblRecordNo_);
    counter->addStretch(1);
    counter->addWidget(lblRecordNum_);

    auto* entry = new QGridLayout;
    entry->addWidget(new QLabel(QStringLiteral("登録字句")), 0, 0);
    entry->addWidget(txtRegister_, 0, 1, 1, 2);
    entry->addWidget(new QLabel(QStringLiteral("変換字句")), 1, 0);
    entry->addWidget(txtTransform_, 1, 1, 1, 2);
    entry->addWidget(new QLabel(QStringLiteral("参照回数")), 2, 0);
    entry->addWidget(txtRefNo_, 2, 1);
    entry->setColumnStretch(2, 1);

    auto* options = new QHBoxLayout;
    options->addWidget(frmUserType, 1);
    options->addWidget(frmTypeOpt);

    auto* nav = new QHBoxLayout;
    for (QPushButton* b : {cmdFirst_, cmdPrev_, cmdNext_, cmdLast_})
        nav->addWidget(b);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdNew_);
    bottom->addWidget(cmdDelete_);
    bottom->addStretch(1);
    bottom->addWidget(cmdExit_);

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
    for (QLineEdit* t : {txtRegister_, txtTransform_, txtRefNo_})
        connect(t, &QLineEdit::textEdited, this, [this] { edited(); });
    connect(cmbDbID_, &QComboBox::editTextChanged, this, [this] { edited(); });
    connect(optLocalUser_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            cmbDbID_->setEnabled(true);
        edited();
    });
    connect(optCommonUser_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            cmbDbID_->setEnabled(false);
        edited();
    });
    connect(optTown_, &QRadioButton::toggled, this, [this] { edited(); });
    connect(optCity_, &QRadioButton::toggled, this, [this] { edited(); });

    // Ticking one owner box clears the other, also when code ticks it.
    connect(chkLocalUser_, &QCheckBox::toggled, this, &LearningDictWindow::onLocalUserToggled);
    connect(chkCommonUser_, &QCheckBox::toggled, this, &LearningDictWindow::onCommonUserToggled);

    connect(cmdSearch_, &QPushButton::clicked, this, &LearningDictWindow::onSearch);
    connect(cmdFirst_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->moveFirst(); }); });
    connect(cmdPrev_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->movePrevious(); }); });
    connect(cmdNext_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->moveNext(); }); });
    connect(cmdLast_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->moveLast(); }); });
    connect(cmdNew_, &QPushButton::clicked, this, &LearningDictWindow::onNew);
    connect(cmdDelete_, &QPushButton::clicked, this,
            [this] { act([this] { editor_->deleteCurrent(); }); });
    connect(cmdExit_, &QPushButton::clicked, this, &QWidget::close);
}

void LearningDictWindow::fillCatalogLists() {
    showing_ = true;
    for (QComboBox* list : {cmbSearchDbID_, cmbDbID_}) {
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
        chkLocalUser_->setChecked(true);
        cmbSearchDbID_->setEnabled(true);
        cmbSearchDbID_->setEditText(regionText);
    } else {
        chkCommonUser_->setChecked(true);
        cmbSearchDbID_->setEnabled(false);
    }
    chkSearchCity_->setChecked(true);
    optSearchReg_->setChecked(true);
}

void LearningDictWindow::onLocalUserToggled(bool on) {
    cmbSearchDbID_->setEnabled(on);
    if (on)
        chkCommonUser_->setChecked(false);
}

void LearningDictWindow::onCommonUserToggled(bool on) {
    if (on) {
        cmbSearchDbID_->setEnabled(false);
        chkLocalUser_->setChecked(false);
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
    s.keyword = str(txtKeyWord_->text());
    s.field = optSearchReg_->isChecked()    ? PhraseField::Registered
              : optSearchTran_->isChecked() ? PhraseField::Transformed
                                            : PhraseField::Either;
    s.town = chkSearchTown_->isChecked();
    s.city = chkSearchCity_->isChecked();
    s.localUser = chkLocalUser_->isChecked();
    s.commonUser = chkCommonUser_->isChecked();
    s.dbName = str(cmbSearchDbID_->currentText());
    return s;
}

void LearningDictWindow::onNew() {
    act([this] { editor_->addNew(); });
    if (editor_->isNewEntry())
        txtRegister_->setFocus();
}

void LearningDictWindow::readForm() {
    LearningEntryForm& f = editor_->form();
    f.registered = str(txtRegister_->text());
    f.transformed = str(txtTransform_->text());
    f.refCount = str(txtRefNo_->text());
    f.owner = optLocalUser_->isChecked()    ? OwnerOption::Local
              : optCommonUser_->isChecked() ? OwnerOption::Common
                                            : OwnerOption::None;
    f.dbName = str(cmbDbID_->currentText());
    f.level = optCity_->isChecked()   ? LevelOption::City
              : optTown_->isChecked() ? LevelOption::Town
                                      : LevelOption::None;
}

void LearningDictWindow::showForm() {
    showing_ = true;
    const LearningEntryForm& f = editor_->form();
    auto setText = [](QLineEdit* box, const std::string& text) {
        if (box->text() != qs(text))
            box->setText(qs(text));
    };
    setText(txtRegister_, f.registered);
    setText(txtTransform_, f.transformed);
    setText(txtRefNo_, f.refCount);
    // The groups may show no choice at all, which an exclusive group refuses.
    auto choose = [](QButtonGroup* group, QRadioButton* on) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(b == on);
        group->setExclusive(true);
    };
    choose(userGroup_, f.owner == OwnerOption::Local    ? optLocalUser_
                       : f.owner == OwnerOption::Common ? optCommonUser_
                                                        : nullptr);
    if (cmbDbID_->currentText() != qs(f.dbName))
        cmbDbID_->setEditText(qs(f.dbName));
    cmbDbID_->setEnabled(f.owner == OwnerOption::Local);
    choose(typeGroup_, f.level == LevelOption::City   ? optCity_
                       : f.level == LevelOption::Town ? optTown_
                                                      : nullptr);
    // With no entry there is nothing to type into.
    for (QLineEdit* t : {txtRegister_, txtTransform_, txtRefNo_})
        t->setReadOnly(!editor_->hasEntry());
    lblRecordNo_->setText(qs(editor_->recordNoText()));
    lblRecordNum_->setText(qs(editor_->recordNumText()));
    showing_ = false;
}

}  // namespace mrk2::ui
