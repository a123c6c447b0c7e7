#include "ui/GuiPerson.h"

#include <QApplication>
#include <QWidget>

#include "ui/UiText.h"

namespace mrk2::ui {

GuiPerson::GuiPerson(AppState& state, Prompter& prompter) : state_(state), prompter_(prompter) {}

GuiPerson::~GuiPerson() = default;

QWidget* GuiPerson::dialogParent() const {
    QWidget* active = QApplication::activeWindow();
    if (active && progress_ && active == progress_.get())
        return nullptr;
    return active;
}

void GuiPerson::message(const std::string& text, Icon icon) {
    say(qs(text), icon);
}

void GuiPerson::say(const QString& text, Icon icon) {
    prompter_.message(dialogParent(), kAppTitle, text, icon);
}

bool GuiPerson::askYesNo(const std::string& text) {
    return askYesNo(qs(text), kAppTitle);
}

bool GuiPerson::askYesNo(const QString& text, const QString& caption) {
    return prompter_.ask(dialogParent(), caption, text, QuestionButtons::YesNo) == Answer::Yes;
}

bool GuiPerson::askOkCancel(const std::string& text) {
    return prompter_.ask(dialogParent(), kAppTitle, qs(text), QuestionButtons::OkCancel) ==
           Answer::Yes;
}

Answer GuiPerson::askYesNoCancel(const std::string& text) {
    return prompter_.ask(dialogParent(), kAppTitle, qs(text), QuestionButtons::YesNoCancel);
}

ProgressDialog& GuiPerson::progressDialog() {
    if (!progress_)
        progress_ = std::make_unique<ProgressDialog>(state_);
    return *progress_;
}

void GuiPerson::showProgress(bool stopVisible) {
    ProgressDialog& dialog = progressDialog();
    dialog.setStopVisible(stopVisible);
    dialog.open();
}

void GuiPerson::setProgressLabel(ProgressLabel label, const std::string& text) {
    // A closed window takes the text too and stays hidden until it is shown again.
    progressDialog().setLabel(label, qs(text));
}

void GuiPerson::closeProgress() {
    if (progress_)
        progress_->dismiss();
}

void GuiPerson::yield() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void GuiPerson::buttonEnabled(bool on) {
    if (buttonEnabled_)
        buttonEnabled_(on);
}

void GuiPerson::showSelectionWindow(bool visible) {
    if (!selectionWindow_)
        return;
    // After a forced close the tool is going away: the window must not come back.
    if (visible && state_.blnForceQuit)
        return;
    selectionWindow_->setVisible(visible);
}

void GuiPerson::setButtonEnabledHandler(std::function<void(bool)> handler) {
    buttonEnabled_ = std::move(handler);
}

void GuiPerson::setSelectionWindow(QWidget* window) {
    selectionWindow_ = window;
}

}  // namespace mrk2::ui
