#include "ui/MainWindow.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "base/Config.h"
#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/RegionName.h"
#include "base/StartLine.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/OperationStarter.h"
#include "data/RegionDeletion.h"
#include "postal/NationalPostalBuild.h"
#include "ui/CsvSelectionWindow.h"
#include "ui/DirectoryChooser.h"
#include "ui/GuiPerson.h"
#include "ui/NationalBuildWindow.h"
#include "ui/RegionMapWindow.h"
#include "ui/StartLineBox.h"
#include "ui/UiText.h"
#include "ui/WindowPlacement.h"

#if __has_include("ui/LearningDictWindow.h")
#include "ui/LearningDictWindow.h"
#define MRK2_HAVE_LEARNING_DICT 1
#endif

namespace mrk2::ui {

namespace {
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QFrame* makeLine(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

MainWindow::MainWindow(Session& session, GuiPerson& person, QWidget* parent)
    : QWidget(parent), session_(session), person_(person) {
    setObjectName(QStringLiteral("frmDataBase"));
    setWindowTitle(QStringLiteral("MRK メンテナンスツール"));
    runModal = [](QDialog& dialog) { return dialog.exec(); };
    buildControls();
    person_.setButtonEnabledHandler([this](bool on) { buttonEnabled(on); });
    auto* follow = new QTimer(this);
    connect(follow, &QTimer::timeout, this, &MainWindow::followBaseDatabase);
    follow->start(1500);
}

MainWindow::~MainWindow() {
    person_.setButtonEnabledHandler({});
    if (dictionary_)
        delete dictionary_.data();
}

void MainWindow::buildControls() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 16, 18, 14);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);

    dbDirEdit_ = new QLineEdit(this);
    dbDirEdit_->setObjectName(QStringLiteral("txtDbDir"));
    dbDirButton_ = makeButton(this, "cmdDbDir", QStringLiteral("..."));
    regionBox_ = new QComboBox(this);
    regionBox_->setObjectName(QStringLiteral("cmbPrefDB"));
    regionBox_->setEditable(true);
    regionBox_->setInsertPolicy(QComboBox::NoInsert);
    regionBox_->setMinimumWidth(200);
    postalCsvEdit_ = new QLineEdit(this);
    postalCsvEdit_->setObjectName(QStringLiteral("txtPostalCsv"));
    postalCsvButton_ = makeButton(this, "cmdPostalSelect", QStringLiteral("..."));
    positionCsvEdit_ = new QLineEdit(this);
    positionCsvEdit_->setObjectName(QStringLiteral("txtCensusCsv"));
    postalStartLine_ = new StartLineBox(this);
    postalStartLine_->setObjectName(QStringLiteral("txtPostalStartLine"));
    positionStartLine_ = new StartLineBox(this);
    positionStartLine_->setObjectName(QStringLiteral("txtCensusStartLine"));
    registerButton_ = makeButton(this, "cmdSelect", QStringLiteral("登録"));
    updateButton_ = makeButton(this, "cmdUpdate", QStringLiteral("更新"));
    deleteButton_ = makeButton(this, "cmdDelete", QStringLiteral("削除"));
    dictionaryButton_ = makeButton(this, "cmdDictionary", QStringLiteral("学習辞書"));
    regionMapButton_ = makeButton(this, "cmdRegionMap", QStringLiteral("地域の確認"));
    nationalBuildButton_ = makeButton(this, "cmdNationalBuild", QStringLiteral("全国一括登録"));
    closeButton_ = makeButton(this, "cmdExit", QStringLiteral("閉じる"));
    batchRegisterButton_ = makeButton(this, "cmdRegister", QStringLiteral("登　録"));
    backupButton_ = makeButton(this, "cmdBackUp", QStringLiteral("バックアップ"));
    settingsButton_ = makeButton(this, "cmdDetail", QStringLiteral("詳細設定"));
    userDictionaryButton_ = makeButton(this, "cmdUserDictionary", QStringLiteral("ユーザ辞書編集"));
    auto* dbNameEdit = new QLineEdit(this);
    dbNameEdit->setObjectName(QStringLiteral("txtDbName"));

    // Present for the operations that switch them, never shown.
    for (QWidget* w : std::initializer_list<QWidget*>{
             positionCsvEdit_, batchRegisterButton_, backupButton_, settingsButton_,
             userDictionaryButton_, dbNameEdit, makeLabel(this, "Label1", QStringLiteral("開始行")),
             makeLabel(this, "lblPostalStartLine", QStringLiteral("郵便番号ﾌｧｲﾙ 開始行")),
             makeLabel(this, "lblCensusStartLine", QStringLiteral("CENSUSﾌｧｲﾙ 開始行"))})
        w->setVisible(false);

    QLabel* heading = makeLabel(this, "lblCensusCsv", QStringLiteral("位置参照情報："));
    QLabel* notice =
        makeLabel(this, "lblNotice",
                  QStringLiteral("開始行：CSVファイルの何行目から読み込むかを指定します。"));
    QFont serif = notice->font();
    serif.setFamilies({QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAMincho"),
                       QStringLiteral("serif")});
    notice->setFont(serif);
    notice->setWordWrap(true);

    for (QPushButton* b : {dbDirButton_, postalCsvButton_})
        b->setFixedWidth(36);
    for (QPushButton* b : {registerButton_, updateButton_, deleteButton_, dictionaryButton_,
                           closeButton_, regionMapButton_})
        b->setMinimumWidth(96);
    postalStartLine_->setMinimumWidth(110);
    positionStartLine_->setMinimumWidth(110);

    int row = 0;
    grid->addWidget(makeLabel(this, "lblDbDir", QStringLiteral("MRK DBパス：")), row, 0);
    grid->addWidget(dbDirEdit_, row, 1, 1, 3);
    grid->addWidget(dbDirButton_, row, 4, Qt::AlignLeft);
    grid->addWidget(makeLine(this, "Line1"), ++row, 0, 1, 5);
    grid->addWidget(makeLabel(this, "lblPostalCsv", QStringLiteral("郵便番号ﾃﾞｰﾀ：")), ++row, 0);
    grid->addWidget(postalCsvEdit_, row, 1, 1, 3);
    grid->addWidget(postalCsvButton_, row, 4, Qt::AlignLeft);
    grid->addWidget(postalStartLine_, ++row, 2);
    grid->addWidget(updateButton_, row, 3);
    grid->addWidget(makeLine(this, "Line2"), ++row, 0, 1, 5);
    grid->addWidget(heading, ++row, 0);
    grid->addWidget(nationalBuildButton_, row, 3, 1, 2);
    grid->addWidget(makeLabel(this, "lblPrefDB", QStringLiteral("地域名：")), ++row, 0);
    grid->addWidget(regionBox_, row, 1);
    grid->addWidget(positionStartLine_, row, 2);
    grid->addWidget(registerButton_, row, 3);
    grid->addWidget(deleteButton_, row, 4);
    grid->setRowMinimumHeight(++row, 10);
    grid->addWidget(notice, ++row, 0, 1, 2);
    grid->addWidget(regionMapButton_, row, 2);
    grid->addWidget(dictionaryButton_, row, 3);
    grid->addWidget(closeButton_, row, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(4, 96);
    // Never so small that the boxes and buttons run into each other.
    setMinimumSize(560, minimumSizeHint().height());
    resize(640, sizeHint().height());
    // The tab key goes through the rows as they are read, left to right.
    QWidget* order[] = {dbDirEdit_,         dbDirButton_,    postalCsvEdit_,       postalCsvButton_,
                        postalStartLine_,   updateButton_,   nationalBuildButton_, regionBox_,
                        positionStartLine_, registerButton_, deleteButton_,        regionMapButton_,
                        dictionaryButton_,  closeButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The directory is checked once the operator has finished typing it (Return
    // or leaving the box), never per keystroke: half a path is not an error.
    connect(dbDirEdit_, &QLineEdit::editingFinished, this, [this] {
        if (dbDirEdit_->text() != checkedDbDir_)
            checkDbDir(dbDirEdit_->text());
    });
    regionBox_->installEventFilter(this);
    if (regionBox_->lineEdit())
        regionBox_->lineEdit()->installEventFilter(this);
    connect(dbDirButton_, &QPushButton::clicked, this, &MainWindow::onDbDirButton);
    connect(postalCsvButton_, &QPushButton::clicked, this, &MainWindow::onPostalSelect);
    connect(registerButton_, &QPushButton::clicked, this, &MainWindow::onRegister);
    connect(updateButton_, &QPushButton::clicked, this, &MainWindow::onPostalUpdate);
    connect(deleteButton_, &QPushButton::clicked, this, &MainWindow::onDelete);
    connect(dictionaryButton_, &QPushButton::clicked, this, &MainWindow::onDictionary);
    connect(regionMapButton_, &QPushButton::clicked, this, &MainWindow::onRegionMap);
    connect(nationalBuildButton_, &QPushButton::clicked, this, &MainWindow::onNationalBuild);
    connect(closeButton_, &QPushButton::clicked, this, &MainWindow::onExit);
}

void MainWindow::formLoad() {
    try {
        const Settings& settings = session_.settings =
            loadSettings(session_.settings.iniPath, person_);
        session_.regionFileName = settings.regionFileName;
        session_.posInfoStart = settings.posInfoStart;
        session_.postalStart = settings.postalStart;
        session_.postalPath = settings.postalPath;
        session_.dbDir = settings.dbDir;
        setDbDirText(qs(settings.dbDir));
        postalDir_ = qs(settings.dbDir);
        if (settings.dbDir.empty()) {
            tellOutcome(person_, offerBaseDatabase(settings.dbDir));  // says what to do
            return;
        }
        if (!fileExists(session_.baseDbPath()))
            return;  // said by the directory check, which offers to create one
        // The prefecture table tells a base database from any other file.
        loadPrefNames(session_.baseDbPath());
        reloadRegionList();
        for (int i = 0; i < regionBox_->count(); ++i)
            if (files::regionDbFileName(str(regionBox_->itemText(i))) == session_.regionFileName)
                regionBox_->setCurrentIndex(i);
        positionStartLine_->setLineText(qs(session_.posInfoStart));
        postalStartLine_->setLineText(qs(session_.postalStart));
        postalCsvEdit_->setText(qs(session_.postalPath));
    } catch (const std::exception& e) {
        reportError(person_, e);
    }
    centerOnScreen(this);
}

void MainWindow::buttonEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             backupButton_, settingsButton_, postalCsvButton_, batchRegisterButton_,
             userDictionaryButton_, deleteButton_, dictionaryButton_, regionMapButton_,
             registerButton_, updateButton_, closeButton_, regionBox_, dbDirEdit_,
             positionStartLine_, postalStartLine_, dbDirButton_, nationalBuildButton_})
        w->setEnabled(on);
}

void MainWindow::writerControlsEnabled(bool on) {
    // The region box and the map only read; they stay.
    for (QWidget* w : std::initializer_list<QWidget*>{
             registerButton_, updateButton_, deleteButton_, dictionaryButton_, dbDirEdit_,
             dbDirButton_, postalCsvButton_, postalStartLine_, positionStartLine_})
        w->setEnabled(on);
}

void MainWindow::updateIniFile() {
    session_.dbDir = str(dbDirEdit_->text());
    const Settings& s = session_.settings;
    try {
        saveDirectories(s.iniPath, {session_.dbDir, session_.regionFileName, s.inputDir,
                                    s.outputDir, s.delimiter});
    } catch (const Refusal& r) {
        person_.say(qs(r.what()));
    }
}

void MainWindow::setDbDirText(const QString& text) {
    if (text == dbDirEdit_->text())
        return;
    dbDirEdit_->setText(text);
    checkDbDir(text);
}

Outcome MainWindow::offerBaseDatabase(const std::string& dir) {
    if (dir.empty()) {
        return {Outcome::Kind::Refused,
                {"データベースのディレクトリが設定されていません。"
                 "「MRK DBパス」の「...」でディレクトリを選んで下さい。"},
                {}};
    }
    // A first start: the directory has no base database yet, or is not there
    // at all. What mrk2cli init does, which makes the directory too.
    const std::string question =
        directoryExists(dir) ? "このディレクトリには基本データベース (mrk2.mdb) がありません。\n" +
                                   dir + "\n作成しますか？"
                             : "このディレクトリはありません。\n" + dir +
                                   "\nディレクトリと基本データベース (mrk2.mdb) を作成しますか？";
    if (!person_.askYesNo(question))
        return {Outcome::Kind::Refused, {}, {}};
    return initBaseDatabase({dir}, person_);
}

void MainWindow::checkDbDir(const QString& text) {
    const Outcome base = fileExists(files::baseDbPath(str(text))) ? Outcome::completed()
                                                                  : offerBaseDatabase(str(text));
    tellOutcome(person_, base);
    if (base.succeeded()) {
        checkedDbDir_ = text;
        session_.dbDir = str(text);
        reloadRegionList();
        return;
    }
    // Back to the last directory that held a base database; it needs no new check.
    checkedDbDir_ = qs(session_.dbDir);
    dbDirEdit_->setText(checkedDbDir_);
}

void MainWindow::followBaseDatabase() {
    // Not while a run has the controls, nor under an open drop-down list.
    if (!regionBox_->isEnabled() || regionBox_->view()->isVisible() || !regionListWatch_.changed())
        return;
    reloadRegionList(regionBox_->currentText());
}

void MainWindow::reloadRegionList(const QString& shown) {
    std::vector<std::string> names;
    // What a killed writer left half done is finished before the list is read.
    settleDatabaseDirectory(session_.dbDir, person_);
    regionListWatch_.accept(session_.baseDbPath());
    // No base database yet: the directory check has offered one; an empty list
    // says the rest, never SQLite's words about a file that is not there.
    try {
        if (fileExists(session_.baseDbPath()))
            names = loadDbList(session_.baseDbPath());
    } catch (const std::exception& e) {
        reportError(person_, e);
    }
    regionBox_->clear();
    for (const std::string& name : names)
        regionBox_->addItem(qs(name));
    const int index = shown.isEmpty() ? -1 : regionBox_->findText(shown, Qt::MatchExactly);
    if (index >= 0)
        regionBox_->setCurrentIndex(index);
    else
        regionBox_->setEditText(shown);
}

void MainWindow::regionBoxLeft() {
    const QString text = regionBox_->currentText();
    session_.regionName = str(text);
    const std::string fileName = files::regionDbFileName(str(text));
    if (fileName == session_.regionFileName)
        return;
    session_.regionFileName = fileName;
    session_.sources.clear();
    // A name that cannot be a file name has no database, like a name not built yet;
    // a name of the tool's own files is said at once, before anything reads them.
    bool usable = true;
    try {
        checkRegionName(str(text));
    } catch (const Refusal& r) {
        usable = false;
        if (isPlainFileName(str(text)))
            person_.say(qs(r.what()));
    }
    if (usable && fileExists(session_.regionDbPath())) {
        try {
            session_.sources = readSourceFiles(session_.regionDbPath()).files;
        } catch (const std::exception& e) {
            reportError(person_, e);
        }
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == regionBox_ || watched == regionBox_->lineEdit())) {
        // Opening the drop-down list is no leaving of the box.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            regionBoxLeft();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::onDbDirButton() {
    QString chosen;
    {
        DirectoryChooser chooser(dbDirEdit_->text(), person_, this);
        runModal(chooser);
        if (chooser.chosen())
            chosen = chooser.selectedPath();
    }
    if (!chosen.isNull())
        setDbDirText(chosen);
    updateIniFile();
}

QString MainWindow::selectCsvFile() {
    QFileDialog dialog(this, QStringLiteral("郵便番号ﾌｧｲﾙ選択"), postalDir_,
                       QStringLiteral("CSVﾌｧｲﾙ(*.csv *.zip);;全てのﾌｧｲﾙ(*.*)"));
    // Qt's own dialog matches "*.csv" regardless of case, as Japan Post names its files .CSV;
    // its archives (ken_all.zip, utf_ken_all.zip) are read as they are.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    postalDir_ = QFileInfo(path).absolutePath();
    return path;
}

void MainWindow::onPostalSelect() {
    const QString path = selectCsvFile();
    if (!path.isEmpty())
        postalCsvEdit_->setText(path);
}

void MainWindow::onRegister() {
    const QString region = regionBox_->currentText();
    if (region.isEmpty()) {
        person_.say(QStringLiteral("地域名(地域別DB)を選択して下さい。"));
        return;
    }
    try {
        parseStartLine(str(positionStartLine_->lineText()));
    } catch (const Refusal& r) {
        person_.say(qs(r.what()));
        positionStartLine_->setFocus();
        return;
    }
    // The name becomes a file name beside the base database; it may not leave that directory.
    try {
        checkRegionName(str(region));
    } catch (const Refusal& r) {
        person_.say(qs(r.what()));
        return;
    }
    session_.regionFileName = files::regionDbFileName(str(region));
    session_.regionName = str(region);
    session_.posInfoStart = str(positionStartLine_->lineText());

    CsvSelectionWindow window(session_, person_, this);
    connect(&window, &CsvSelectionWindow::closingInDirectory, this,
            [this](const QString& dir) { positionCsvEdit_->setText(dir); });
    window.load();
    runModal(window);
    // A region registered by the run belongs in the list from now on.
    if (!unloaded_)
        reloadRegionList(region);
}

void MainWindow::onPostalUpdate() {
    NationalPostalRequest request;
    request.dbDir = session_.dbDir;
    request.csvPath = str(postalCsvEdit_->text());
    request.columns = session_.settings.postalColumns;
    request.summaryInEndMessage = true;
    try {
        request.startLine = parseStartLine(str(postalStartLine_->lineText()));
    } catch (const Refusal& r) {
        person_.say(qs(r.what()));
        postalStartLine_->setFocus();
        return;
    }
    // The build replaces the base database file; nothing else may start meanwhile.
    session_.running = true;
    startNationalPostalBuild(request, person_, person_);
    session_.running = false;
}

void MainWindow::onDelete() {
    session_.running = true;
    const Outcome outcome = startRegionDeletion(
        {session_.dbDir, str(regionBox_->currentText()), true}, person_, person_);
    session_.running = false;
    if (outcome.kind == Outcome::Kind::Completed)
        reloadRegionList();
}

void MainWindow::onDictionary() {
#ifdef MRK2_HAVE_LEARNING_DICT
    if (!dictionary_) {
        auto* window = new LearningDictWindow(session_, person_, regionBox_->currentText());
        window->setAttribute(Qt::WA_DeleteOnClose);
        dictionary_ = window;
    }
    dictionary_->show();
    dictionary_->raise();
    dictionary_->activateWindow();
#else
    person_.say(QStringLiteral("学習辞書はこの版では使えません。"));
#endif
}

void MainWindow::onNationalBuild() {
    if (!nationalBuild_) {
        nationalBuild_ = new NationalBuildWindow(session_, person_, this);
        connect(nationalBuild_, &NationalBuildWindow::runningChanged, this,
                [this](bool running) { writerControlsEnabled(!running); });
    }
    nationalBuild_->show();
    nationalBuild_->raise();
    nationalBuild_->activateWindow();
}

void MainWindow::onRegionMap() {
    const QString region = regionBox_->currentText();
    const std::string path = files::regionDbPath(session_.dbDir, str(region));
    if (region.isEmpty() || !isUsableRegionName(str(region)) || !fileExists(path)) {
        person_.say(QStringLiteral("地域別DBが見つかりません。"));
        return;
    }
    auto* window = new RegionMapWindow(region, qs(path), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

bool MainWindow::confirmCloseDuringRun() {
    if (!session_.running)
        return true;
    if (!person_.askYesNo(QStringLiteral("データベース処理中です。\n強制的に終了しますか？"),
                          kForceCloseCaption))
        return false;
    session_.forceQuit = true;
    // The run on its worker thread sees the Stop at its next record; the tool
    // waits for it to wind down before it goes (WorkerThread.h).
    if (session_.stop)
        session_.stop->requestStop();
    return true;
}

void MainWindow::onExit() {
    if (!confirmCloseDuringRun())
        return;
    session_.posInfoStart = str(positionStartLine_->lineText());
    session_.postalStart = str(postalStartLine_->lineText());
    const std::string postal = str(postalCsvEdit_->text());
    // A path that names no file is not remembered; the last good one stays.
    if (postal.empty() || fileExists(postal))
        session_.postalPath = postal;
    try {
        saveStartLines(session_.settings.iniPath, session_.posInfoStart, session_.postalStart,
                       session_.postalPath);
    } catch (const Refusal& r) {
        person_.say(qs(r.what()));
    }
    exiting_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The title bar's close box during a run asks the same question as "閉じる":
    // otherwise the databases would be closed under the running import.
    if (!exiting_ && !unloaded_ && !confirmCloseDuringRun()) {
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

void MainWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (dictionary_)
        dictionary_->close();
}

}  // namespace mrk2::ui
