#include "ui/LearningDictWindow.h"

namespace mrk2::ui {

LearningDictWindow::LearningDictWindow(mrk2::AppState&, mrk2::Person&, const QString&,
                                       QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("学習辞書編集"));
}

LearningDictWindow::~LearningDictWindow() = default;

}  // namespace mrk2::ui
