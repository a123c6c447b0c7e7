#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace mrk2::ui {

class GuiPerson;

// frmSelectDir: picks a directory with a drive list and a directory tree, or
// takes a typed one. It starts at `startPath`; after OK, selectedPath() is the
// answer.
class DirectoryChooser : public QDialog {
    Q_OBJECT
  public:
    DirectoryChooser(const QString& startPath, GuiPerson& person, QWidget* parent = nullptr);

    // The chosen directory as typed or picked; empty unless OK was pressed.
    QString selectedPath() const { return selectedPath_; }
    bool chosen() const { return chosen_; }

    // The directory the tree stands in.
    QString dirPath() const { return dirPath_; }
    // Selects a drive entry as the operator would.
    void chooseDrive(int row);
    // Highlights a directory in the tree without opening it (a single click).
    void highlight(const QString& path);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void onDriveChanged(int row);
    bool setDirPath(const QString& path);
    void showDirPath();
    void onOk();
    void onCancel();

    GuiPerson& person_;
    QString selectedPath_;
    bool chosen_ = false;
    QLineEdit* text_;
    QComboBox* drives_;
    QTreeView* tree_;
    QFileSystemModel* model_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QString dirPath_;
    bool opening_ = false;
};

}  // namespace mrk2::ui
