#pragma once
#include <QWidget>

namespace mrk2 {
struct AppState;
class Person;
}  // namespace mrk2

namespace mrk2::ui {

// The learning dictionary editor ("学習辞書編集"): a modeless window over the
// table 学習 of the base database. regionText is the text of the main window's
// region box when the editor was opened; it presets the owner choice.
class LearningDictWindow : public QWidget {
    Q_OBJECT
  public:
    LearningDictWindow(mrk2::AppState& state, mrk2::Person& person, const QString& regionText,
                       QWidget* parent = nullptr);
    ~LearningDictWindow() override;
};

}  // namespace mrk2::ui
