#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

#include "base/Outcome.h"
#include "data/DatabaseChangeWatch.h"
#include "ui/Session.h"

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mrk2::ui {

class GuiPerson;
class NationalBuildWindow;
class StartLineBox;

// frmDataBase, the main window: base-database directory, region list, national
// postal CSV and start lines, and the buttons that start every operation.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(Session& session, GuiPerson& person, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Form_Load: configuration, base database, region list, saved choices.
    void formLoad();
    // Enables or disables every operating control (a run switches them off).
    void buttonEnabled(bool on);
    // Enables or disables what needs the directory's writer lock (a national
    // build holds it).
    void writerControlsEnabled(bool on);
    // Keeps the directory of the text box in the configuration file.
    void updateIniFile();

    // The directory text as the program sets it: checked at once.
    void setDbDirText(const QString& text);
    // What happens when the region box loses the focus.
    void regionBoxLeft();
    // Re-reads the region list when the base database changed on disk (another
    // process registered or deleted a region); a timer asks every moment.
    void followBaseDatabase();

    // How the window runs its modal dialogs (directory chooser, CSV selection,
    // file dialog). Tests replace it to drive a dialog instead of blocking.
    std::function<int(QDialog&)> runModal;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void checkDbDir(const QString& text);
    // No base database in `dir`: offers to create one. Refused when nothing
    // began (no directory named, with what to do, or the operator said no);
    // otherwise how the creation ended, which it told itself.
    Outcome offerBaseDatabase(const std::string& dir);
    // Fills the region list from the catalog; the box then shows `shown`.
    void reloadRegionList(const QString& shown = {});
    QString selectCsvFile();
    void onDbDirButton();
    void onPostalSelect();
    void onRegister();
    void onPostalUpdate();
    void onDelete();
    void onDictionary();
    void onRegionMap();
    void onNationalBuild();
    void onExit();
    bool confirmCloseDuringRun();
    void unload();

    Session& session_;
    GuiPerson& person_;
    QLineEdit* dbDirEdit_;
    QPushButton* dbDirButton_;
    QComboBox* regionBox_;
    QLineEdit* postalCsvEdit_;
    QPushButton* postalCsvButton_;
    QLineEdit* positionCsvEdit_;
    StartLineBox* postalStartLine_;
    StartLineBox* positionStartLine_;
    QPushButton* registerButton_;
    QPushButton* updateButton_;
    QPushButton* deleteButton_;
    QPushButton* dictionaryButton_;
    QPushButton* regionMapButton_;
    QPushButton* nationalBuildButton_;
    QPointer<NationalBuildWindow> nationalBuild_;
    QPushButton* closeButton_;
    QPushButton* batchRegisterButton_;
    QPushButton* backupButton_;
    QPushButton* settingsButton_;
    QPushButton* userDictionaryButton_;
    QPointer<QWidget> dictionary_;
    DatabaseChangeWatch regionListWatch_;  // the base database the list was read from
    QString postalDir_;                    // start directory of the postal file dialog
    QString checkedDbDir_;                 // the directory text as last checked
    bool exiting_ = false;                 // the close comes from "閉じる"
    bool unloaded_ = false;
};

}  // namespace mrk2::ui
