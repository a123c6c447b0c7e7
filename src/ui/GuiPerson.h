#pragma once
#include <QPointer>
#include <functional>
#include <memory>

#include "app/AppState.h"
#include "app/Person.h"
#include "ui/ProgressDialog.h"
#include "ui/Prompter.h"

class QWidget;

namespace mrk2::ui {

// The person at the keyboard as the engine sees it in the desktop tool: message
// boxes through the prompter, the one progress window, and the main window's
// ButtonEnabled. Windows that show messages of their own go through it too.
class GuiPerson : public Person {
  public:
    GuiPerson(AppState& state, Prompter& prompter);
    ~GuiPerson() override;

    void message(const std::string& text, Icon icon) override;
    using Person::message;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;

    void showProgress(bool stopVisible) override;
    void setProgressLabel(ProgressLabel label, const std::string& text) override;
    void closeProgress() override;
    void yield() override;
    void buttonEnabled(bool on) override;
    void showSelectionWindow(bool visible) override;

    // For windows: the same boxes with QString texts.
    void say(const QString& text, Icon icon = Icon::None);
    bool askYesNo(const QString& text, const QString& caption);

    // Where ButtonEnabled goes (the main window), and which window a run hides.
    void setButtonEnabledHandler(std::function<void(bool)> handler);
    void setSelectionWindow(QWidget* window);

    ProgressDialog& progressDialog();
    Prompter& prompter() { return prompter_; }

  private:
    QWidget* dialogParent() const;

    AppState& state_;
    Prompter& prompter_;
    std::unique_ptr<ProgressDialog> progress_;
    std::function<void(bool)> buttonEnabled_;
    QPointer<QWidget> selectionWindow_;
};

}  // namespace mrk2::ui
