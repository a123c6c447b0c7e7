#include "ui/CsvSelectionWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <optional>
#include <vector>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/Limits.h"
#include "base/Paths.h"
#include "base/SourceFile.h"
#include "base/StartLine.h"
#include "data/Catalog.h"
#include "data/SourceStatus.h"
#include "import/ImportStarter.h"
#include "ui/DriveList.h"
#include "ui/GuiPerson.h"
#include "ui/UiText.h"
#include "ui/WindowPlacement.h"

namespace mrk2::ui {

namespace {
QListWidget* makeList(QWidget* parent, const char* name, QAbstractItemView::SelectionMode mode) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(mode);
    return list;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}
}  // namespace

CsvSelectionWindow::CsvSelectionWindow(Session& session, GuiPerson& person, QWidget* parent)
    : QDialog(parent), session_(session), person_(person) {
    setObjectName(QStringLiteral("frmSelectCsv"));
    setWindowTitle(QStringLiteral("辞書登録ＣＳＶの選択"));
    setModal(true);

    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("drvSelectCsv"));
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));
    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("dirSelectCsv"));
    tree_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->header()->hide();
    // The file list of the browsed directory only feeds the two lists below.
    candidates_ = makeList(this, "fileCandidates", QAbstractItemView::NoSelection);
    candidates_->hide();
    unselected_ = makeList(this, "lstUnselectCsv", QAbstractItemView::ExtendedSelection);
    selected_ = makeList(this, "lstSelectCsv", QAbstractItemView::ExtendedSelection);
    // Several entries can be marked, so every changed file stays marked after loading.
    inDb_ = makeList(this, "lstCsvListInDB", QAbstractItemView::MultiSelection);
    selectMarkedButton_ = makeButton(this, "cmdSelectCsv", QStringLiteral(">"));
    selectAllButton_ = makeButton(this, "cmdSelectAll", QStringLiteral(">>"));
    unselectMarkedButton_ = makeButton(this, "cmdUnselectCsv", QStringLiteral("<"));
    unselectAllButton_ = makeButton(this, "cmdUnselectAll", QStringLiteral("<<"));
    cancelButton_ = makeButton(this, "cmdCancel", QStringLiteral("キャンセル"));
    updateButton_ = makeButton(this, "cmdUpdate", QStringLiteral("更新"));
    registerButton_ = makeButton(this, "cmdSelect", QStringLiteral("登録"));
    deleteButton_ = makeButton(this, "cmdDelete", QStringLiteral("削除"));
    deleteButton_->hide();

    // Each list says what it holds.
    const auto headed = [this](const QString& heading, QWidget* list) {
        auto* column = new QVBoxLayout;
        auto* label = new QLabel(heading, this);
        label->setBuddy(list);
        column->addWidget(label);
        column->addWidget(list, 1);
        return column;
    };
    auto* top = new QHBoxLayout;
    auto* browsing = new QVBoxLayout;
    browsing->addWidget(new QLabel(QStringLiteral("フォルダ"), this));
    browsing->addWidget(drives_);
    browsing->addWidget(tree_, 1);
    top->addLayout(browsing, 1);
    top->addSpacing(56);
    top->addLayout(headed(QStringLiteral("この地域に読み込むファイル"), inDb_), 1);
    auto* middle = new QHBoxLayout;
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    for (QPushButton* b :
         {selectMarkedButton_, selectAllButton_, unselectMarkedButton_, unselectAllButton_}) {
        b->setFixedWidth(44);
        arrows->addWidget(b);
        if (b == selectAllButton_)
            arrows->addSpacing(24);
    }
    arrows->addStretch();
    middle->addLayout(headed(QStringLiteral("フォルダのファイル"), unselected_), 1);
    middle->addLayout(arrows);
    middle->addLayout(headed(QStringLiteral("選択したファイル"), selected_), 1);
    auto* bottom = new QHBoxLayout;
    for (QPushButton* b : {cancelButton_, updateButton_, registerButton_}) {
        b->setMinimumSize(150, 34);
        bottom->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 14, 24, 14);
    layout->addLayout(top, 1);
    layout->addSpacing(8);
    layout->addLayout(middle, 1);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    layout->addWidget(candidates_);
    layout->addWidget(deleteButton_);
    resize(620, 540);
    setMinimumSize(520, 440);

    QWidget* order[] = {drives_,
                        tree_,
                        selectMarkedButton_,
                        selectAllButton_,
                        unselectMarkedButton_,
                        unselectAllButton_,
                        registerButton_,
                        cancelButton_,
                        candidates_,
                        unselected_,
                        selected_,
                        inDb_,
                        deleteButton_,
                        updateButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    fillDriveBox(drives_, driveRoots());
    showInTree(QDir::currentPath());
    connect(drives_, &QComboBox::currentIndexChanged, this, &CsvSelectionWindow::onDriveChanged);
    // The model reads directories in the background: once a level has arrived,
    // bring the current directory back into view.
    // (After its delayed sort, hence the short wait.)
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        QTimer::singleShot(50, this, [this] {
            tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!quietTree_ && index.isValid())
                    browse(model_->filePath(index));
            });
    connect(selectMarkedButton_, &QPushButton::clicked, this, &CsvSelectionWindow::selectChosen);
    connect(selectAllButton_, &QPushButton::clicked, this, &CsvSelectionWindow::selectAll);
    connect(unselectMarkedButton_, &QPushButton::clicked, this,
            &CsvSelectionWindow::unselectChosen);
    connect(unselectAllButton_, &QPushButton::clicked, this, &CsvSelectionWindow::unselectAll);
    connect(registerButton_, &QPushButton::clicked, this,
            [this] { startRun(ImportMode::Register); });
    connect(updateButton_, &QPushButton::clicked, this, [this] { startRun(ImportMode::Update); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });

    person_.setSelectionWindow(this);
}

QString CsvSelectionWindow::makeListEntry(const QString& dir, const QString& file) {
    return file + QStringLiteral(" (") + dir + QStringLiteral(")");
}

void CsvSelectionWindow::load() {
    const std::string dbPath = session_.regionDbPath();
    newDb_ = !fileExists(dbPath);
    session_.sources.clear();
    inDb_->clear();
    if (!newDb_) {
        RecordedSources recorded;
        try {
            recorded = readSourceFiles(dbPath);
        } catch (const std::exception& e) {
            reportError(person_, e);  // an unreadable list counts as no list
        }
        session_.sources = recorded.files;
        const std::vector<std::optional<std::string>>& dates = recorded.dates;
        // Browsing starts where the first recorded file lives (an archive's
        // member: where the archive lives), when that is still there.
        if (!session_.sources.empty()) {
            const SourceFile& first = session_.sources.front();
            showInTree(qs(first.inArchive() ? dirNameOf(first.dir) : first.dir));
        }
        const std::vector<SourceStatus> statuses = compareSources(session_.sources, dates);
        int updated = 0;
        QStringList named;  // the changed files the notice names
        constexpr int kNamed = 5;
        for (std::size_t i = 0; i < session_.sources.size(); ++i) {
            addListEntry(session_.sources[i]);
            // A file that is gone counts as changed: its data no longer matches disk.
            if (i < statuses.size() && statuses[i].changed) {
                if (++updated <= kNamed)
                    named << qs(joinPath(session_.sources[i].dir, session_.sources[i].file));
                inDb_->item(inDb_->count() - 1)->setSelected(true);
            }
        }
        if (updated > 0) {
            QString text = QStringLiteral("更新されたＣＳＶファイルが") + fullWidthNumber(updated) +
                           QStringLiteral("ファイルあります。\n") + named.join(QLatin1Char('\n'));
            if (updated > kNamed)
                text += QStringLiteral("\nほか%1ファイル").arg(fullWidthNumber(updated - kNamed));
            person_.say(text);
        }
    }
    updateButton_->setEnabled(!newDb_);
    fillFileLists();
}

void CsvSelectionWindow::onDriveChanged(int row) {
    const QString root = drives_->itemData(row).toString();
    if (quietTree_)
        return;
    if (!QDir(root).exists()) {
        person_.say(QStringLiteral("デバイスの準備ができていません。"));
        return;
    }
    browse(root);
}

// Moves drive list and tree to `dir` without treating it as the operator's click.
void CsvSelectionWindow::showInTree(const QString& dir) {
    if (!QDir(dir).exists())
        return;
    dir_ = normalDirPath(dir);
    quietTree_ = true;
    const QString root = driveOf(dir_, driveRoots());
    const int row = drives_->findData(root);
    if (row >= 0)
        drives_->setCurrentIndex(row);
    tree_->setRootIndex(model_->index(root));
    const QModelIndex index = model_->index(dir_);
    tree_->setCurrentIndex(index);
    tree_->expand(index);
    tree_->scrollTo(index);
    quietTree_ = false;
}

bool CsvSelectionWindow::browse(const QString& dir) {
    if (!QDir(dir).exists())
        return false;
    if (normalDirPath(dir) != dir_ || tree_->currentIndex() != model_->index(normalDirPath(dir)))
        showInTree(dir);
    fillFileLists();
    return true;
}

namespace {

constexpr int kDirRole = Qt::UserRole;
constexpr int kFileRole = Qt::UserRole + 1;

QListWidgetItem* sourceItem(const SourceFile& f, const QString& label) {
    auto* item = new QListWidgetItem(label);
    item->setData(kDirRole, qs(f.dir));
    item->setData(kFileRole, qs(f.file));
    return item;
}

SourceFile sourceOf(const QListWidgetItem* item) {
    return {str(item->data(kDirRole).toString()), str(item->data(kFileRole).toString())};
}

// The CSV files and zip archives of a directory as sources, with their labels:
// an archive stands for its CSV members, each listed under the archive's name.
// An archive that cannot be read is listed too, marked, with its error as the
// tip: browsing past it is no reason for a message box.
struct Candidate {
    SourceFile source;
    QString label;
    QString problem;  // an unreadable archive: why
};

std::vector<Candidate> candidatesIn(const QString& dir) {
    std::vector<Candidate> out;
    const QStringList names =
        QDir(dir).entryList({QStringLiteral("*.csv"), QStringLiteral("*.zip")},
                            QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        const std::string path = joinPath(str(dir), str(name));
        if (!isZipPath(path)) {
            out.push_back({{str(dir), str(name)}, name, {}});
            continue;
        }
        try {
            // The member's own name after MLIT's folder ("13000-17.0a\\"): the
            // list of the region's files names it whole.
            for (const SourceFile& member : sourcesOf(path))
                out.push_back(
                    {member, name + QStringLiteral(" ▸ ") + qs(baseNameOf(member.file)), {}});
        } catch (const Error& e) {
            out.push_back({{str(dir), str(name)},
                           name + QStringLiteral(" (読めないアーカイブ)"),
                           qs(standardErrorText(e))});
        }
    }
    return out;
}

// Names only, as the window has always compared them: a same-named file of
// another directory (or member of a same-named archive) counts as chosen.
bool sameName(const SourceFile& a, const SourceFile& b) {
    if (a.file != b.file)
        return false;
    return !a.inArchive() || fileNameOf(a.dir) == fileNameOf(b.dir);
}

}  // namespace

void CsvSelectionWindow::fillFileLists() {
    candidates_->clear();
    unselected_->clear();
    selected_->clear();
    for (const Candidate& c : candidatesIn(dir_)) {
        if (!c.problem.isEmpty()) {
            QListWidgetItem* item = sourceItem(c.source, c.label);
            item->setFlags(Qt::NoItemFlags);  // never chosen, never moved
            item->setToolTip(c.problem);
            unselected_->addItem(item);
            continue;
        }
        candidates_->addItem(sourceItem(c.source, c.label));
        bool listed = false;
        for (const SourceFile& f : session_.sources)
            if (sameName(f, c.source)) {
                listed = true;
                break;
            }
        (listed ? selected_ : unselected_)->addItem(sourceItem(c.source, c.label));
    }
}

void CsvSelectionWindow::addListEntry(const SourceFile& file) {
    inDb_->addItem(makeListEntry(qs(file.dir), qs(file.file)));
}

void CsvSelectionWindow::takeOut(const QListWidgetItem* item) {
    const SourceFile wanted = sourceOf(item);
    const QString entry = makeListEntry(qs(wanted.dir), qs(wanted.file));
    for (int i = 0; i < inDb_->count(); ++i)
        if (inDb_->item(i)->text() == entry) {
            delete inDb_->takeItem(i);
            break;
        }
    for (auto it = session_.sources.begin(); it != session_.sources.end(); ++it)
        if (*it == wanted) {
            session_.sources.erase(it);
            break;
        }
}

// Files join the chosen ones in this order until the list holds as many as a
// region may have; the operator is told so once, and the rest stay.
void CsvSelectionWindow::moveToSelected(const std::vector<QListWidgetItem*>& items) {
    for (QListWidgetItem* item : items) {
        if (session_.sources.size() >= kMaxSourceFiles) {
            person_.say(QStringLiteral("CSVファイルは%1ファイルまでしか選択できません。")
                            .arg(kMaxSourceFiles));
            return;
        }
        selected_->addItem(item->clone());
        session_.sources.push_back(sourceOf(item));
        addListEntry(session_.sources.back());
        delete unselected_->takeItem(unselected_->row(item));
    }
}

// Chosen files join from the bottom of the list up, as they always have.
void CsvSelectionWindow::selectChosen() {
    std::vector<QListWidgetItem*> chosen;
    for (int i = unselected_->count() - 1; i >= 0; --i)
        if (unselected_->item(i)->isSelected())
            chosen.push_back(unselected_->item(i));
    moveToSelected(chosen);
}

void CsvSelectionWindow::selectAll() {
    std::vector<QListWidgetItem*> all;
    for (int i = 0; i < unselected_->count(); ++i)
        // An archive that cannot be read stays where it is.
        if (unselected_->item(i)->flags() != Qt::NoItemFlags)
            all.push_back(unselected_->item(i));
    moveToSelected(all);
}

void CsvSelectionWindow::unselectChosen() {
    for (int i = selected_->count() - 1; i >= 0; --i) {
        if (!selected_->item(i)->isSelected())
            continue;
        QListWidgetItem* item = selected_->takeItem(i);
        takeOut(item);
        unselected_->addItem(item);
    }
}

void CsvSelectionWindow::unselectAll() {
    while (selected_->count() > 0) {
        QListWidgetItem* item = selected_->takeItem(0);
        takeOut(item);
        unselected_->addItem(item);
    }
}

void CsvSelectionWindow::startRun(ImportMode mode) {
    if (session_.running) {
        person_.say(QStringLiteral("処理を実行中です。"), Icon::Critical);
        done(QDialog::Rejected);
        return;
    }
    ImportRequest request;
    request.mode = mode;
    request.dbDir = session_.dbDir;
    request.region = session_.regionName;
    request.sources = session_.sources;
    request.layout.columns = session_.settings.posInfoColumns;
    request.minRecs = session_.settings.minRecs;
    request.groupingBudget = session_.settings.memoryBudget;
    request.summaryInEndMessage = true;
    try {
        request.layout.startLine = parseStartLine(session_.posInfoStart);
    } catch (const Refusal& r) {
        person_.say(QString::fromStdString(r.what()));
        return;
    }
    // The run is over only once the operator has seen how it ended.
    session_.running = true;
    const bool ran = startImportRun(request, person_, person_).kind != Outcome::Kind::Refused;
    session_.running = false;
    if (ran)
        done(QDialog::Accepted);
}

void CsvSelectionWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!placed_) {
        placed_ = true;
        centerOnScreen(this);
    }
}

void CsvSelectionWindow::done(int result) {
    if (!closed_) {
        closed_ = true;
        emit closingInDirectory(dir_);
    }
    QDialog::done(result);
}

}  // namespace mrk2::ui
