#include "ui/NationalBuildWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/RunEstimate.h"
#include "base/StartLine.h"
#include "import/BatchStarter.h"
#include "import/PrefectureGroups.h"
#include "ui/BatchRelay.h"
#include "ui/GuiPerson.h"
#include "ui/UiText.h"
#include "ui/WorkerThread.h"

namespace mrk2::ui {

namespace {

enum Column { RegionColumn, StateColumn, BarColumn, TimeColumn, TownsColumn, RowsColumn };

// A run of a national build reports to the window's relay only.
class NoSink : public ProgressSink {
  public:
    void progress(const Progress&) override {}
};

QString secondsText(double seconds) {
    return QString::number(seconds, 'f', 1) + QStringLiteral(" 秒");
}

QTableWidgetItem* numberItem(std::int64_t n) {
    auto* item = new QTableWidgetItem(QString::number(n));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString stepName(ProgressStep step) {
    switch (step) {
        case ProgressStep::Starting:
        case ProgressStep::CreatingDatabase:
        case ProgressStep::CreatingTables:
            return QStringLiteral("準備中");
        case ProgressStep::Staging:
        case ProgressStep::Extracting:
            return QStringLiteral("読込中");
        case ProgressStep::FilesDone:
        case ProgressStep::CreatingPostal:
        case ProgressStep::UpdatingPostal:
            return QStringLiteral("郵便番号");
        default:
            return QStringLiteral("仕上げ中");
    }
}

}  // namespace

NationalBuildWindow::NationalBuildWindow(Session& session, GuiPerson& person, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      person_(person),
      relay_(new BatchRelay(this)) {
    setObjectName(QStringLiteral("frmNationalBuild"));
    setWindowTitle(QStringLiteral("全国一括登録"));
    buildControls();
    connect(relay_, &BatchRelay::regionsPlanned, this, &NationalBuildWindow::onPlanned,
            Qt::QueuedConnection);
    connect(relay_, &BatchRelay::regionReported, this, &NationalBuildWindow::onReported,
            Qt::QueuedConnection);
    connect(relay_, &BatchRelay::regionEnded, this, &NationalBuildWindow::onEnded,
            Qt::QueuedConnection);
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(500);
    connect(clockTimer_, &QTimer::timeout, this, &NationalBuildWindow::showTimes);
    resize(720, 560);
}

NationalBuildWindow::~NationalBuildWindow() = default;

void NationalBuildWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("アーカイブ・CSV・フォルダ")), 0, 0);
    sourcesEdit_ = new QLineEdit;
    sourcesEdit_->setObjectName(QStringLiteral("txtSources"));
    sourcesEdit_->setReadOnly(true);
    // Chosen with the buttons beside it, never typed: it looks as it behaves.
    QPalette quiet = sourcesEdit_->palette();
    quiet.setColor(QPalette::Base, quiet.color(QPalette::Window));
    sourcesEdit_->setPalette(quiet);
    top->addWidget(sourcesEdit_, 0, 1);
    folderButton_ = new QPushButton(QStringLiteral("フォルダ選択..."));
    folderButton_->setObjectName(QStringLiteral("cmdFolder"));
    filesButton_ = new QPushButton(QStringLiteral("ファイル選択..."));
    filesButton_->setObjectName(QStringLiteral("cmdFiles"));
    top->addWidget(folderButton_, 0, 2);
    top->addWidget(filesButton_, 0, 3);
    top->addWidget(new QLabel(QStringLiteral("同時に作る地域の数")), 1, 0);
    jobs_ = new QSpinBox;
    jobs_->setObjectName(QStringLiteral("spnJobs"));
    jobs_->setRange(1, 64);
    jobs_->setValue(std::max(1, QThread::idealThreadCount()));
    top->addWidget(jobs_, 1, 1, Qt::AlignLeft);
    layout->addLayout(top);

    table_ = new QTableWidget(0, 6);
    table_->setObjectName(QStringLiteral("tblRegions"));
    table_->setHorizontalHeaderLabels({QStringLiteral("地域"), QStringLiteral("状態"),
                                       QStringLiteral("進捗"), QStringLiteral("時間"),
                                       QStringLiteral("町"), QStringLiteral("行")});
    table_->horizontalHeader()->setSectionResizeMode(BarColumn, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(table_, 1);

    overall_ = new QLabel;
    overall_->setObjectName(QStringLiteral("lblOverall"));
    layout->addWidget(overall_);
    log_ = new QPlainTextEdit;
    log_->setObjectName(QStringLiteral("txtLog"));
    log_->setReadOnly(true);
    log_->setMaximumHeight(90);
    layout->addWidget(log_);

    auto* buttons = new QHBoxLayout;
    batchRegisterButton_ = new QPushButton(QStringLiteral("登録"));
    batchRegisterButton_->setObjectName(QStringLiteral("cmdRegister"));
    updateButton_ = new QPushButton(QStringLiteral("更新"));
    updateButton_->setObjectName(QStringLiteral("cmdUpdate"));
    stopButton_ = new QPushButton(QStringLiteral("中止"));
    stopButton_->setObjectName(QStringLiteral("cmdStop"));
    stopButton_->setEnabled(false);
    closeButton_ = new QPushButton(QStringLiteral("閉じる"));
    closeButton_->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(batchRegisterButton_);
    buttons->addWidget(updateButton_);
    buttons->addStretch();
    buttons->addWidget(stopButton_);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);

    connect(folderButton_, &QPushButton::clicked, this, &NationalBuildWindow::onChooseFolder);
    connect(filesButton_, &QPushButton::clicked, this, &NationalBuildWindow::onChooseFiles);
    connect(batchRegisterButton_, &QPushButton::clicked, this,
            [this] { startBuild(ImportMode::Register); });
    connect(updateButton_, &QPushButton::clicked, this, [this] { startBuild(ImportMode::Update); });
    connect(stopButton_, &QPushButton::clicked, this, &NationalBuildWindow::stopBuild);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    setMinimumSize(560, 360);
}

void NationalBuildWindow::setSources(const QStringList& paths) {
    paths_ = paths;
    sourcesEdit_->setText(paths.join(QStringLiteral("; ")));
    showFound();
}

BatchRequest NationalBuildWindow::request(ImportMode mode) const {
    BatchRequest request;
    request.mode = mode;
    request.dbDir = session_.dbDir;
    for (const QString& p : paths_)
        request.paths.push_back(str(p));
    request.layout.columns = session_.settings.posInfoColumns;
    // The main window's start line, by the one rule for start lines. A text the
    // rule refuses is told where the main window registers; here, where nothing
    // is asked, the files are read from their first line.
    try {
        request.layout.startLine = parseStartLine(
            session_.posInfoStart.empty() ? session_.settings.posInfoStart : session_.posInfoStart);
    } catch (const Refusal&) {
        request.layout.startLine = kMinStartLine;
    }
    request.minRecs = session_.settings.minRecs;
    request.groupingBudget = session_.settings.memoryBudget;
    request.jobs = jobs_->value();
    return request;
}

void NationalBuildWindow::showFound() {
    table_->setRowCount(0);
    rows_.clear();
    log_->clear();
    existing_.clear();
    const BatchRequest plan = request(ImportMode::Register);
    PrefectureGrouping found;
    try {
        found = groupByPrefecture(plan.paths, plan.layout);
    } catch (const std::exception& e) {
        log_->appendPlainText(qs(errorText(e)));
    }
    table_->setRowCount(static_cast<int>(found.groups.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const std::string& name = found.groups[static_cast<std::size_t>(i)].prefecture;
        const bool exists = fileExists(files::regionDbPath(plan.dbDir, name));
        if (exists)
            existing_ << qs(name);
        table_->setItem(i, RegionColumn, new QTableWidgetItem(qs(name)));
        table_->setItem(
            i, StateColumn,
            new QTableWidgetItem(exists ? QStringLiteral("既存") : QStringLiteral("新規")));
    }
    for (const UnreadablePath& u : found.unreadable)
        log_->appendPlainText(qs(u.error));
    table_->resizeColumnToContents(RegionColumn);
    overall_->setText(QStringLiteral("見つかった都道府県: %1 (うち既存の地域 %2)")
                          .arg(found.groups.size())
                          .arg(existing_.size()));
}

bool NationalBuildWindow::rebuildAllowed() {
    if (existing_.isEmpty())
        return true;
    return person_.prompter().ask(
               this, kAppTitle,
               QStringLiteral("次の地域はすでにあります。作り直していいですか？\n") +
                   existing_.join(QStringLiteral("、")),
               QuestionButtons::OkCancel) == Answer::Yes;
}

void NationalBuildWindow::onChooseFolder() {
    const QString dir = QFileDialog::getExistingDirectory(
        this, QStringLiteral("アーカイブとCSVファイルのフォルダ"), qs(session_.dbDir));
    if (!dir.isEmpty())
        setSources({dir});
}

void NationalBuildWindow::onChooseFiles() {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("アーカイブとCSVファイル"), qs(session_.dbDir),
        QStringLiteral("位置参照情報 (*.zip *.ZIP *.csv *.CSV)"));
    if (!files.isEmpty())
        setSources(files);
}

Outcome NationalBuildWindow::startBuild(ImportMode mode) {
    if (stop_ || session_.running) {
        message("他の処理の実行中です。", Icon::None);
        return Outcome::failed();
    }
    if (mode == ImportMode::Register && !rebuildAllowed())
        return Outcome::nothingToDo();
    table_->setRowCount(0);
    rows_.clear();
    log_->clear();
    overall_->clear();
    runSeconds_ = 0;
    const BatchOutcome result = startBatchImport(request(mode), *this, *this, *relay_);
    // The last queued reports arrive before the end is shown.
    QCoreApplication::sendPostedEvents(this);
    showEnd(result);
    return result.outcome;
}

void NationalBuildWindow::stopBuild() {
    if (stop_)
        stop_->requestStop();
}

Outcome NationalBuildWindow::run(const Work& work, bool) {
    StopControl stop;
    stop_ = &stop;
    session_.running = true;
    session_.stop = &stop;
    setRunning(true);
    buildClock_.start();
    NoSink none;
    Outcome outcome = runOnWorkerThread([&] { return work(stop, none); });
    runSeconds_ = static_cast<double>(buildClock_.elapsed()) / 1000;
    session_.running = false;
    session_.stop = nullptr;
    stop_ = nullptr;
    setRunning(false);
    return outcome;
}

void NationalBuildWindow::setRunning(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             folderButton_, filesButton_, jobs_, batchRegisterButton_, updateButton_, closeButton_})
        w->setEnabled(!on);
    stopButton_->setEnabled(on);
    if (on)
        clockTimer_->start();
    else
        clockTimer_->stop();
    emit runningChanged(on);
}

void NationalBuildWindow::message(const std::string& text, Icon) {
    log_->appendPlainText(qs(text));
}

void NationalBuildWindow::onPlanned(const QStringList& names, const QStringList& failedBefore) {
    table_->setRowCount(static_cast<int>(names.size()));
    rows_.assign(static_cast<std::size_t>(names.size()), Row{});
    for (int i = 0; i < names.size(); ++i) {
        table_->setItem(i, RegionColumn, new QTableWidgetItem(names[i]));
        const bool failed = !failedBefore[i].isEmpty();
        table_->setItem(i, StateColumn,
                        new QTableWidgetItem(failed ? failedBefore[i] : QStringLiteral("待機中")));
        auto* bar = new QProgressBar;
        bar->setRange(0, 1000);
        bar->setValue(0);
        bar->setTextVisible(true);
        bar->setFormat(QStringLiteral("%p%"));
        table_->setCellWidget(i, BarColumn, bar);
        table_->setItem(i, TimeColumn, new QTableWidgetItem(QString()));
        table_->setItem(i, TownsColumn, new QTableWidgetItem(QString()));
        table_->setItem(i, RowsColumn, new QTableWidgetItem(QString()));
        rows_[static_cast<std::size_t>(i)].done = failed;
    }
    table_->resizeColumnToContents(RegionColumn);
    showTimes();
}

void NationalBuildWindow::onReported(int index, const mrk2::Progress& progress) {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size())
        return;
    Row& row = rows_[static_cast<std::size_t>(index)];
    if (row.done)
        return;
    if (!row.running) {
        row.running = true;
        row.clock.start();
    }
    if (std::optional<double> share = runShare(progress))
        row.share = *share;
    table_->item(index, StateColumn)->setText(stepName(progress.step));
    table_->item(index, TimeColumn)
        ->setText(secondsText(static_cast<double>(row.clock.elapsed()) / 1000));
    static_cast<QProgressBar*>(table_->cellWidget(index, BarColumn))
        ->setValue(static_cast<int>(row.share * 1000));
}

void NationalBuildWindow::onEnded(int index, const QString& outcome, double seconds) {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size())
        return;
    Row& row = rows_[static_cast<std::size_t>(index)];
    row.running = false;
    row.done = true;
    if (outcome == QStringLiteral("完了") || outcome == QStringLiteral("変更なし"))
        row.share = 1;
    table_->item(index, StateColumn)->setText(outcome);
    static_cast<QProgressBar*>(table_->cellWidget(index, BarColumn))
        ->setValue(static_cast<int>(row.share * 1000));
    // A region never begun took no time.
    table_->item(index, TimeColumn)
        ->setText(outcome == QStringLiteral("未実行") ? QString() : secondsText(seconds));
    showTimes();
}

void NationalBuildWindow::showTimes() {
    int done = 0;
    double shares = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        done += row.done;
        shares += row.done ? 1.0 : row.share;
        if (row.running)
            table_->item(static_cast<int>(i), TimeColumn)
                ->setText(secondsText(static_cast<double>(row.clock.elapsed()) / 1000));
    }
    if (rows_.empty())
        return;
    const double share = shares / static_cast<double>(rows_.size());
    const double elapsed = static_cast<double>(buildClock_.elapsed()) / 1000;
    QString text = QStringLiteral("全体: %1/%2 地域  %3%")
                       .arg(done)
                       .arg(rows_.size())
                       .arg(static_cast<int>(share * 100));
    if (stop_ && share > 0.02 && elapsed > 2)
        text += QStringLiteral("  残り約 %1 秒").arg(static_cast<long>(elapsed / share - elapsed));
    overall_->setText(text);
}

// The rows as mrk2cli's end table has them, and below the table how many
// regions ended how, the time of the run and the last word. A stopped build
// shows no share and no time left: what did not finish is old.
void NationalBuildWindow::showEnd(const BatchOutcome& result) {
    int completed = 0, stopped = 0, notRun = 0, failed = 0;
    // The next 登録 of the same sources asks about what exists now.
    existing_.clear();
    for (const BatchRegion& region : result.regions)
        if (!region.sources.empty() &&
            fileExists(files::regionDbPath(session_.dbDir, region.region)))
            existing_ << qs(region.region);
    for (std::size_t i = 0; i < result.regions.size() && i < rows_.size(); ++i) {
        const BatchRegion& region = result.regions[i];
        const int row = static_cast<int>(i);
        auto* bar = static_cast<QProgressBar*>(table_->cellWidget(row, BarColumn));
        switch (region.outcome.kind) {
            case Outcome::Kind::Completed:
            case Outcome::Kind::NothingToDo:
                ++completed;
                table_->setItem(row, TownsColumn, numberItem(region.towns));
                table_->setItem(row, RowsColumn, numberItem(region.rows));
                break;
            case Outcome::Kind::Stopped:
                ++(region.started ? stopped : notRun);
                bar->setValue(0);
                bar->setFormat(QString());
                break;
            default:
                ++failed;
                bar->setFormat(QString());
        }
    }
    QStringList counts{QStringLiteral("完了 %1").arg(completed)};
    if (stopped)
        counts << QStringLiteral("中止 %1").arg(stopped);
    if (notRun)
        counts << QStringLiteral("未実行 %1").arg(notRun);
    if (failed)
        counts << QStringLiteral("失敗 %1").arg(failed);
    QString text;
    if (!result.regions.empty())
        text = QStringLiteral("全体: %1 地域 (%2)  時間: %3  ")
                   .arg(result.regions.size())
                   .arg(counts.join(QStringLiteral("、")))
                   .arg(secondsText(runSeconds_));
    text += result.outcome.kind == Outcome::Kind::Stopped ? QStringLiteral("処理を中止しました。")
            : result.outcome.succeeded() ? QStringLiteral("処理を完了しました。")
            : failed                     ? QStringLiteral("失敗した地域があります。")
                                         : QStringLiteral("処理に失敗しました。");
    overall_->setText(text);
}

void NationalBuildWindow::closeEvent(QCloseEvent* event) {
    // A build goes on until it has wound down: its databases stay old or new.
    if (stop_) {
        stopBuild();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace mrk2::ui
