#pragma once
#include <QDialog>
#include <vector>

#include "import/ImportRequest.h"
#include "ui/Session.h"

class QComboBox;
class QFileSystemModel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeView;

namespace mrk2::ui {

class GuiPerson;

// frmSelectCsv: the operator puts together the source-file list of one region
// (the session's sources) from the files of browsed directories, then starts the
// import in register ("登録") or update ("更新") mode.
class CsvSelectionWindow : public QDialog {
    Q_OBJECT
  public:
    CsvSelectionWindow(Session& session, GuiPerson& person, QWidget* parent = nullptr);

    // Reads the region's recorded files (when its database exists), tells how
    // many changed on disk, and fills the lists. Call once before showing.
    void load();

    // The directory being browsed, as the tree stands.
    QString browsedDir() const { return dir_; }
    // Browses to a directory as a click in the tree would. False if it is not there.
    bool browse(const QString& dir);
    bool isNewDb() const { return newDb_; }

    static QString makeListEntry(const QString& dir, const QString& file);

  signals:
    // The window is closing; `dir` is the directory last browsed.
    void closingInDirectory(const QString& dir);

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void onDriveChanged(int row);
    void showInTree(const QString& dir);
    void fillFileLists();
    void addListEntry(const SourceFile& file);
    void moveToSelected(const std::vector<QListWidgetItem*>& items);
    void takeOut(const QListWidgetItem* item);
    void selectChosen();
    void selectAll();
    void unselectChosen();
    void unselectAll();
    void startRun(ImportMode mode);

    Session& session_;
    GuiPerson& person_;
    QComboBox* drives_;
    QTreeView* tree_;
    QFileSystemModel* model_;
    QListWidget* candidates_;
    QListWidget* unselected_;
    QListWidget* selected_;
    QListWidget* inDb_;
    QPushButton* selectMarkedButton_;
    QPushButton* selectAllButton_;
    QPushButton* unselectMarkedButton_;
    QPushButton* unselectAllButton_;
    QPushButton* cancelButton_;
    QPushButton* updateButton_;
    QPushButton* registerButton_;
    QPushButton* deleteButton_;
    QString dir_;
    bool newDb_ = true;
    bool quietTree_ = false;
    bool closed_ = false;
    bool placed_ = false;
};

}  // namespace mrk2::ui
