#include "ui/Prompter.h"

#include <QMessageBox>

namespace mrk2::ui {

void MessageBoxPrompter::message(QWidget* parent, const QString& caption, const QString& text,
                                 Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, caption,
                    text, QMessageBox::Ok, parent);
    box.exec();
}

Answer MessageBoxPrompter::ask(QWidget* parent, const QString& caption, const QString& text,
                               QuestionButtons buttons) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case QuestionButtons::YesNo:
            set = QMessageBox::Yes | QMessageBox::No;
            break;
        case QuestionButtons::OkCancel:
            set = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case QuestionButtons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, set, parent);
    // OK/Cancel asks before what cannot be undone (a deletion, a rebuild): a
    // Return pressed by habit keeps everything.
    if (buttons == QuestionButtons::OkCancel)
        box.setDefaultButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
        case QMessageBox::Ok:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

}  // namespace mrk2::ui
