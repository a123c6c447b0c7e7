#pragma once
#include <QString>

#include "base/Person.h"

class QWidget;

namespace mrk2::ui {

enum class QuestionButtons { YesNo, OkCancel, YesNoCancel };

// Shows message boxes and asks questions. The tool uses real QMessageBoxes; tests
// put a scripted prompter in its place so that no modal box ever blocks them.
class Prompter {
  public:
    virtual ~Prompter() = default;
    // One OK button; no icon unless Critical.
    virtual void message(QWidget* parent, const QString& caption, const QString& text,
                         Icon icon) = 0;
    // Yes and OK come back as Answer::Yes. OK/Cancel is for what cannot be
    // undone, and Cancel is its default button.
    virtual Answer ask(QWidget* parent, const QString& caption, const QString& text,
                       QuestionButtons buttons) = 0;
};

// The real thing: application-modal QMessageBoxes.
class MessageBoxPrompter : public Prompter {
  public:
    void message(QWidget* parent, const QString& caption, const QString& text, Icon icon) override;
    Answer ask(QWidget* parent, const QString& caption, const QString& text,
               QuestionButtons buttons) override;
};

}  // namespace mrk2::ui
