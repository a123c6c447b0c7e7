#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/Config.h"
#include "app/Error.h"
#include "app/Paths.h"
#include "data/Catalog.h"
#include "data/RegionDeletion.h"
#include "postal/NationalPostalBuild.h"
#include "ui/CsvSelectionWindow.h"
#include "ui/DirectoryChooser.h"
#include "ui/GuiPerson.h"
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

std::string regionDbPath(const std::string& dbDir, const std::string& fileName) {
    return dbDir + "/" + fileName;
}
}  // namespace

MainWindow::MainWindow(AppState& state, GuiPerson& person, QWidget* parent)
    : QWidget(parent), state_(state), person_(person) {
    setObjectName(QStringLiteral("frmDataBase"));
    setWindowTitle(QStringLiteral("MRK メンテナンスツール"));
    runModal = [](QDialog& dialog) { return dialog.exec(); };
    buildControls();
    person_.setButtonEnabledHandler([this](bool on) { buttonEnabled(on); });
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

    txtDbDir_ = new QLineEdit(this);
    txtDbDir_->setObjectName(QStringLiteral("txtDbDir"));
    cmdDbDir_ = makeButton(this, "cmdDbDir", QStringLiteral("..."));
    cmbPrefDB_ = new QComboBox(this);
    cmbPrefDB_->setObjectName(QStringLiteral("cmbPrefDB"));
    cmbPrefDB_->setEditable(true);
    cmbPrefDB_->setInsertPolicy(QComboBox::NoInsert);
    cmbPrefDB_->setMinimumWidth(200);
    txtPostalCsv_ = new QLineEdit(this);
    txtPostalCsv_->setObjectName(QStringLiteral("txtPostalCsv"));
    cmdPostalSelect_ = makeButton(this, "cmdPostalSelect", QStringLiteral("..."));
    txtCensusCsv_ = new QLineEdit(this);
    txtCensusCsv_->setObjectName(QStringLiteral("txtCensusCsv"));
    txtPostalStartLine_ = new StartLineBox(this);
    txtPostalStartLine_->setObjectName(QStringLiteral("txtPostalStartLine"));
    txtCensusStartLine_ = new StartLineBox(this);
    txtCensusStartLine_->setObjectName(QStringLiteral("txtCensusStartLine"));
    cmdSelect_ = makeButton(this, "cmdSelect", QStringLiteral("登録"));
    cmdUpdate_ = makeButton(this, "cmdUpdate", QStringLiteral("更新"));
    cmdDelete_ = makeButton(this, "cmdDelete", QStringLiteral("削除"));
    cmdDictionary_ = makeButton(this, "cmdDictionary", QStringLiteral("学習辞書"));
    cmdRegionMap_ = makeButton(this, "cmdRegionMap", QStringLiteral("地域の確認"));
    cmdExit_ = makeButton(this, "cmdExit", QStringLiteral("閉じる"));
    cmdRegister_ = makeButton(this, "cmdRegister", QStringLiteral("登　録"));
    cmdBackUp_ = makeButton(this, "cmdBackUp", QStringLiteral("バックアップ"));
    cmdDetail_ = makeButton(this, "cmdDetail", QStringLiteral("詳細設定"));
    cmdUserDictionary_ = makeButton(this, "cmdUserDictionary", QStringLiteral("ユーザ辞書編集"));
    auto* txtDbName = new QLineEdit(this);
    txtDbName->setObjectName(QStringLiteral("txtDbName"));

    // Present for the operations that switch them, never shown.
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtCensusCsv_, cmdRegister_, cmdBackUp_, cmdDetail_, cmdUserDictionary_, txtDbName,
             makeLabel(this, "Label1", QStringLiteral("開始行")),
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

    for (QPushButton* b : {cmdDbDir_, cmdPostalSelect_})
        b->setFixedWidth(36);
    for (QPushButton* b :
         {cmdSelect_, cmdUpdate_, cmdDelete_, cmdDictionary_, cmdExit_, cmdRegionMap_})
        b->setMinimumWidth(96);
    txtPostalStartLine_->setMinimumWidth(110);
    txtCensusStartLine_->setMinimumWidth(110);

    int row = 0;
    grid->addWidget(makeLabel(this, "lblDbDir", QStringLiteral("MRK DBパス：")), row, 0);
    grid->addWidget(txtDbDir_, row, 1, 1, 3);
    grid->addWidget(cmdDbDir_, row, 4, Qt::AlignLeft);
    grid->addWidget(makeLine(this, "Line1"), ++row, 0, 1, 5);
    grid->addWidget(makeLabel(this, "lblPostalCsv", QStringLiteral("郵便番号ﾃﾞｰﾀ：")), ++row, 0);
    grid->addWidget(txtPostalCsv_, row, 1, 1, 3);
    grid->addWidget(cmdPostalSelect_, row, 4, Qt::AlignLeft);
    grid->addWidget(txtPostalStartLine_, ++row, 2);
    grid->addWidget(cmdUpdate_, row, 3);
    grid->addWidget(makeLine(this, "Line2"), ++row, 0, 1, 5);
    grid->addWidget(heading, ++row, 0);
    grid->addWidget(makeLabel(this, "lblPrefDB", QStringLiteral("地域名：")), ++row, 0);
    grid->addWidget(cmbPrefDB_, row, 1);
    grid->addWidget(txtCensusStartLine_, row, 2);
    grid->addWidget(cmdSelect_, row, 3);
    grid->addWidget(cmdDelete_, row, 4);
    grid->setRowMinimumHeight(++row, 10);
    grid->addWidget(notice, ++row, 0, 1, 2);
    grid->addWidget(cmdRegionMap_, row, 2);
    grid->addWidget(cmdDictionary_, row, 3);
    grid->addWidget(cmdExit_, row, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(4, 96);
    resize(640, sizeHint().height());

    // The directory is checked once the operator has finished typing it (Return
    // or leaving the box), never per keystroke: half a path is not an error.
    connect(txtDbDir_, &QLineEdit::editingFinished, this, [this] {
        if (txtDbDir_->text() != checkedDbDir_)
            checkDbDir(txtDbDir_->text());
    });
    cmbPrefDB_->installEventFilter(this);
    if (cmbPrefDB_->lineEdit())
        cmbPrefDB_->lineEdit()->installEventFilter(this);
    connect(cmdDbDir_, &QPushButton::clicked, this, &MainWindow::onDbDirButton);
    connect(cmdPostalSelect_, &QPushButton::clicked, this, &MainWindow::onPostalSelect);
    connect(cmdSelect_, &QPushButton::clicked, this, &MainWindow::onRegister);
    connect(cmdUpdate_, &QPushButton::clicked, this, &MainWindow::onPostalUpdate);
    connect(cmdDelete_, &QPushButton::clicked, this, &MainWindow::onDelete);
    connect(cmdDictionary_, &QPushButton::clicked, this, &MainWindow::onDictionary);
    connect(cmdRegionMap_, &QPushButton::clicked, this, &MainWindow::onRegionMap);
    connect(cmdExit_, &QPushButton::clicked, this, &MainWindow::onExit);
}

void MainWindow::formLoad() {
    try {
        if (!loadIniFile(state_, person_))
            return;
        setDbDirText(qs(state_.strDbDir));
        postalDir_ = qs(state_.strDbDir);
        if (openBaseDb(state_, person_) && loadPrefNames(state_, person_)) {
            reloadRegionList();
            for (int i = 0; i < cmbPrefDB_->count(); ++i)
                if (str(cmbPrefDB_->itemText(i)) + ".mdb" == state_.strPrefDb)
                    cmbPrefDB_->setCurrentIndex(i);
            txtCensusStartLine_->setLineText(qs(state_.strPosInfoStart));
            txtPostalStartLine_->setLineText(qs(state_.strPostalStart));
            txtPostalCsv_->setText(qs(state_.strPostalPath));
        }
    } catch (const Error& e) {
        person_.say(qs(e.description()) + QStringLiteral("(%1)").arg(e.number()));
    } catch (const std::exception& e) {
        person_.say(QString::fromLocal8Bit(e.what()));
    }
    centerOnScreen(this);
}

void MainWindow::buttonEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdBackUp_, cmdDetail_, cmdPostalSelect_, cmdRegister_, cmdUserDictionary_, cmdDelete_,
             cmdDictionary_, cmdRegionMap_, cmdSelect_, cmdUpdate_, cmdExit_, cmbPrefDB_, txtDbDir_,
             txtCensusStartLine_, txtPostalStartLine_, cmdDbDir_})
        w->setEnabled(on);
}

void MainWindow::updateIniFile() {
    state_.strDbDir = str(txtDbDir_->text());
    saveIniFile(state_);
}

void MainWindow::setDbDirText(const QString& text) {
    if (text == txtDbDir_->text())
        return;
    txtDbDir_->setText(text);
    checkDbDir(text);
}

void MainWindow::checkDbDir(const QString& text) {
    const std::string path = str(text) + "/mrk2.mdb";
    if (fileExists(path)) {
        checkedDbDir_ = text;
        state_.strDbDir = str(text);
        state_.strBaseDbPath = path;
        reloadRegionList();
        return;
    }
    person_.say(QStringLiteral("基本データベースが見つかりません。"));
    // Back to the last directory that held a base database; it needs no new check.
    checkedDbDir_ = qs(state_.strDbDir);
    txtDbDir_->setText(checkedDbDir_);
}

void MainWindow::reloadRegionList() {
    std::vector<std::string> names;
    loadDbList(state_, person_, names);  // reports its own errors; keeps what it read
    cmbPrefDB_->clear();
    for (const std::string& name : names)
        cmbPrefDB_->addItem(qs(name));
    cmbPrefDB_->setEditText(QString());
}

void MainWindow::regionBoxLeft() {
    const QString text = cmbPrefDB_->currentText();
    state_.strRegionName = str(text);
    const std::string fileName = str(text) + ".mdb";
    if (fileName == state_.strPrefDb)
        return;
    state_.strPrefDb = fileName;
    state_.strPrefDbPath = regionDbPath(state_.strDbDir, fileName);
    // A name that cannot be a file name has no database, like a name not built yet.
    if (isUsableRegionName(str(text)) && fileExists(state_.strPrefDbPath)) {
        std::vector<std::optional<std::string>> dates;
        if (readSrcFileList(person_, state_.strPrefDbPath, state_.srcFiles, dates) == 0)
            state_.srcFiles.clear();
    } else {
        state_.srcFiles.clear();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == cmbPrefDB_ || watched == cmbPrefDB_->lineEdit())) {
        // Opening the drop-down list is no leaving of the box.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            regionBoxLeft();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::onDbDirButton() {
    state_.strSelectPath = str(txtDbDir_->text());
    {
        DirectoryChooser chooser(state_, person_, this);
        runModal(chooser);
    }
    if (state_.blnSelectOk)
        setDbDirText(qs(state_.strSelectPath));
    updateIniFile();
}

QString MainWindow::selectCsvFile() {
    QFileDialog dialog(this, QStringLiteral("郵便番号ﾌｧｲﾙ選択"), postalDir_,
                       QStringLiteral("CSVﾌｧｲﾙ(*.csv);;全てのﾌｧｲﾙ(*.*)"));
    // Qt's own dialog matches "*.csv" regardless of case, as Japan Post names its files .CSV.
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
        txtPostalCsv_->setText(path);
}

void MainWindow::onRegister() {
    const QString region = cmbPrefDB_->currentText();
    if (region.isEmpty()) {
        person_.say(QStringLiteral("地域名(地域別DB)を選択して下さい。"));
        return;
    }
    if (!isNumericText(txtCensusStartLine_->lineText())) {
        person_.say(QStringLiteral("開始行数に数値を入力して下さい"));
        txtCensusStartLine_->setFocus();
        return;
    }
    // The name becomes a file name beside the base database; it may not leave that directory.
    if (!isUsableRegionName(str(region))) {
        person_.say(QStringLiteral("地域名にファイル名として使えない文字があります。"));
        return;
    }
    state_.strPrefDb = str(region) + ".mdb";
    state_.strPrefDbPath = regionDbPath(state_.strDbDir, state_.strPrefDb);
    state_.strRegionName = str(region);
    state_.strPosInfoStart = str(txtCensusStartLine_->lineText());

    CsvSelectionWindow window(state_, person_, this);
    connect(&window, &CsvSelectionWindow::closingInDirectory, this,
            [this](const QString& dir) { txtCensusCsv_->setText(dir); });
    window.load();
    runModal(window);
}

void MainWindow::onPostalUpdate() {
    // The build replaces the base database file; nothing else may start meanwhile.
    buttonEnabled(false);
    PostalBuildResult result = PostalBuildResult::Failed;
    try {
        result = buildNationalPostal(state_, person_, str(txtPostalCsv_->text()),
                                     str(txtPostalStartLine_->lineText()));
    } catch (const Error& e) {
        person_.say(qs(standardErrorText(e)));
    } catch (const std::exception& e) {
        person_.say(QString::fromLocal8Bit(e.what()));
    }
    buttonEnabled(true);
    if (result == PostalBuildResult::BadStartLine)
        txtPostalStartLine_->setFocus();
}

void MainWindow::onDelete() {
    if (deleteRegion(state_, person_, str(cmbPrefDB_->currentText())))
        reloadRegionList();
}

void MainWindow::onDictionary() {
#ifdef MRK2_HAVE_LEARNING_DICT
    if (!dictionary_) {
        auto* window = new LearningDictWindow(state_, person_, cmbPrefDB_->currentText());
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

void MainWindow::onRegionMap() {
    const QString region = cmbPrefDB_->currentText();
    const std::string path = regionDbPath(state_.strDbDir, str(region) + ".mdb");
    if (region.isEmpty() || !isUsableRegionName(str(region)) || !fileExists(path)) {
        person_.say(QStringLiteral("地域別DBが見つかりません。"));
        return;
    }
    auto* window = new RegionMapWindow(region, qs(path), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

bool MainWindow::confirmCloseDuringRun() {
    if (!state_.blnProcessing)
        return true;
    if (!person_.askYesNo(QStringLiteral("データベース処理中です。\n強制的に終了しますか？"),
                          kForceCloseCaption))
        return false;
    state_.blnForceQuit = true;
    state_.blnProcessing = false;
    person_.yield();
    return true;
}

void MainWindow::onExit() {
    if (!confirmCloseDuringRun())
        return;
    state_.strPosInfoStart = str(txtCensusStartLine_->lineText());
    state_.strPostalStart = str(txtPostalStartLine_->lineText());
    const std::string postal = str(txtPostalCsv_->text());
    // A path that names no file is not remembered; the last good one stays.
    if (postal.empty() || fileExists(postal))
        state_.strPostalPath = postal;
    saveStartLines(state_);
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
    closeBaseDb(state_, person_);
    closeWorkspace(state_);
}

}  // namespace mrk2::ui
