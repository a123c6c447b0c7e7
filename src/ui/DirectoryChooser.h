#pragma once
#include <QDialog>

#include "app/AppState.h"

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace mrk2::ui {

class GuiPerson;

// frmSelectDir: picks a directory with a drive list and a directory tree, or
// takes a typed one. Start path in state.strSelectPath; the answer comes back
// in strSelectPath and blnSelectOk.
class DirectoryChooser : public QDialog {
    Q_OBJECT
  public:
    DirectoryChooser(AppState& state, GuiPerson& person, QWidget* parent = nullptr);

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

    AppState& state_;
    GuiPerson& person_;
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
