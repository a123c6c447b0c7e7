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
    QLineEdit* keywordEdit_ = nullptr;
    QRadioButton* searchRegisteredOption_ = nullptr;
    QRadioButton* searchTransformedOption_ = nullptr;
    QCheckBox* searchTownCheck_ = nullptr;
    QCheckBox* searchCityCheck_ = nullptr;
    QCheckBox* searchLocalCheck_ = nullptr;
    QCheckBox* searchCommonCheck_ = nullptr;
    QComboBox* searchDbBox_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    // Counter.
    QLabel* recordNoLabel_ = nullptr;
    QLabel* recordCountLabel_ = nullptr;
    // Entry.
    QLineEdit* registeredEdit_ = nullptr;
    QLineEdit* transformedEdit_ = nullptr;
    QLineEdit* refCountEdit_ = nullptr;
    QButtonGroup* userGroup_ = nullptr;
    QRadioButton* localOwnerOption_ = nullptr;
    QRadioButton* commonOwnerOption_ = nullptr;
    QComboBox* dbBox_ = nullptr;
    QButtonGroup* typeGroup_ = nullptr;
    QRadioButton* townLevelOption_ = nullptr;
    QRadioButton* cityLevelOption_ = nullptr;
    // Buttons.
    QPushButton* firstButton_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* lastButton_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace mrk2::ui
