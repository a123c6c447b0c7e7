#pragma once
#include <QWidget>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mrk2 {
class Person;
struct LearningSearch;
}  // namespace mrk2

namespace mrk2::ui {

class LearningDictEditor;
struct Session;

// The learning dictionary editor ("学習辞書編集"): a modeless window over the
// table 学習 of the base database. regionText is the text of the main window's
// region box when the editor was opened; it presets the owner choice.
class LearningDictWindow : public QWidget {
    Q_OBJECT
  public:
    LearningDictWindow(const Session& session, mrk2::Person& person, const QString& regionText,
                       QWidget* parent = nullptr);
    ~LearningDictWindow() override;

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    class GuardedPerson;

    void buildControls();
    // Both database lists from the editor's catalog; the texts they show stay.
    void fillCatalogLists();
    void preset(const QString& regionText);
    void onActivated();

    // The entry controls and the engine's form, in both directions.
    void readForm();
    void showForm();
    void edited();
    template <typename Action>
    void act(Action action);

    void onSearch();
    LearningSearch searchBoxes() const;
    void onNew();
    void onLocalUserToggled(bool on);
    void onCommonUserToggled(bool on);

    const Session& session_;
    std::unique_ptr<GuardedPerson> person_;
    std::unique_ptr<LearningDictEditor> editor_;
    bool showing_ = false;  // the window itself is filling the controls
    bool deactivatedByOwnDialog_ = false;

    // Search frame.
    QLineEdit* txtKeyWord_ = nullptr;
    QRadioButton* optSearchReg_ = nullptr;
    QRadioButton* optSearchTran_ = nullptr;
    QCheckBox* chkSearchTown_ = nullptr;
    QCheckBox* chkSearchCity_ = nullptr;
    QCheckBox* chkLocalUser_ = nullptr;
    QCheckBox* chkCommonUser_ = nullptr;
    QComboBox* cmbSearchDbID_ = nullptr;
    QPushButton* cmdSearch_ = nullptr;
    // Counter.
    QLabel* lblRecordNo_ = nullptr;
    QLabel* lblRecordNum_ = nullptr;
    // Entry.
    QLineEdit* txtRegister_ = nullptr;
    QLineEdit* txtTransform_ = nullptr;
    QLineEdit* txtRefNo_ = nullptr;
    QButtonGroup* userGroup_ = nullptr;
    QRadioButton* optLocalUser_ = nullptr;
    QRadioButton* optCommonUser_ = nullptr;
    QComboBox* cmbDbID_ = nullptr;
    QButtonGroup* typeGroup_ = nullptr;
    QRadioButton* optTown_ = nullptr;
    QRadioButton* optCity_ = nullptr;
    // Buttons.
    QPushButton* cmdFirst_ = nullptr;
    QPushButton* cmdPrev_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdLast_ = nullptr;
    QPushButton* cmdNew_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
};

}  // namespace mrk2::ui
