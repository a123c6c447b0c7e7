#include "ui/DirectoryChooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "ui/DriveList.h"
#include "ui/GuiPerson.h"
#include "ui/UiText.h"
#include "ui/WindowPlacement.h"

namespace mrk2::ui {

DirectoryChooser::DirectoryChooser(const QString& startPath, GuiPerson& person, QWidget* parent)
    : QDialog(parent), person_(person), selectedPath_(startPath) {
    setObjectName(QStringLiteral("frmSelectDir"));
    setWindowTitle(QStringLiteral("ディレクトリ選択"));
    setModal(true);

    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("txtSelectDir"));
    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("drvSelDrv"));
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QStringLiteral("/"));
    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("dirSelDir"));
    tree_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        tree_->hideColumn(c);
    tree_->header()->hide();
    tree_->setMinimumSize(300, 300);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("cmdOk"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(text_, 0, 0);
    grid->addWidget(ok_, 0, 1);
    grid->addWidget(drives_, 1, 0);
    grid->addWidget(tree_, 2, 0);
    grid->addWidget(cancel_, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    ok_->setMinimumWidth(100);
    cancel_->setMinimumWidth(100);

    fillDriveBox(drives_, driveRoots());
    connect(drives_, &QComboBox::currentIndexChanged, this, &DirectoryChooser::onDriveChanged);
    // The model reads directories in the background: once a level has arrived,
    // bring the current directory back into view.
    // (After its delayed sort, hence the short wait.)
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        QTimer::singleShot(50, this, [this] {
            tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    });
    // A click highlights a directory and offers it; opening it (double click,
    // Return) moves the tree there. Either way the text box shows the directory.
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid() && !opening_)
                    text_->setText(model_->filePath(index));
            });
    connect(tree_, &QTreeView::activated, this, [this](const QModelIndex& index) {
        tree_->expand(index);
        setDirPath(model_->filePath(index));
    });
    connect(ok_, &QPushButton::clicked, this, &DirectoryChooser::onOk);
    connect(cancel_, &QPushButton::clicked, this, &DirectoryChooser::onCancel);

    // Opening: each step that fails is skipped and the next one runs.
    opening_ = true;
    if (!QDir::isAbsolutePath(selectedPath_))
        selectedPath_ = QDir::currentPath();
    const QString start = selectedPath_;
    text_->setText(start);
    const int row = drives_->findData(driveOf(start, driveRoots()));
    if (row >= 0) {
        if (row == drives_->currentIndex())
            onDriveChanged(row);
        else
            drives_->setCurrentIndex(row);
    }
    setDirPath(start);
    opening_ = false;
}

void DirectoryChooser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void DirectoryChooser::chooseDrive(int row) {
    drives_->setCurrentIndex(row);
}

void DirectoryChooser::highlight(const QString& path) {
    tree_->setCurrentIndex(model_->index(path));
}

void DirectoryChooser::onDriveChanged(int row) {
    const QString root = drives_->itemData(row).toString();
    if (!QDir(root).exists()) {
        // The drive list keeps the choice; the tree stays where it was.
        if (!opening_)
            person_.say(QStringLiteral("デバイスの準備ができていません。"));
        return;
    }
    tree_->setRootIndex(model_->index(root));
    dirPath_ = normalDirPath(root);
    showDirPath();
}

bool DirectoryChooser::setDirPath(const QString& path) {
    if (path.isEmpty() || !QDir(path).exists())
        return false;
    dirPath_ = normalDirPath(path);
    const QModelIndex index = model_->index(dirPath_);
    const bool wasOpening = opening_;
    opening_ = true;
    tree_->setCurrentIndex(index);
    tree_->expand(index);
    tree_->scrollTo(index);
    opening_ = wasOpening;
    showDirPath();
    return true;
}

void DirectoryChooser::showDirPath() {
    text_->setText(dirPath_);
}

void DirectoryChooser::onOk() {
    // The typed text goes back as it stands; the caller checks it.
    selectedPath_ = text_->text();
    chosen_ = true;
    accept();
}

void DirectoryChooser::onCancel() {
    selectedPath_.clear();
    chosen_ = false;
    reject();
}

}  // namespace mrk2::ui
