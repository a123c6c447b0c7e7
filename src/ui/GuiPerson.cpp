#include "ui/GuiPerson.h"

#include <QApplication>
#include <QWidget>

#include "base/RunEstimate.h"
#include "ui/ProgressRelay.h"
#include "ui/UiText.h"
#include "ui/WorkerThread.h"

namespace mrk2::ui {

GuiPerson::GuiPerson(Session& session, Prompter& prompter)
    : session_(session), prompter_(prompter) {}

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
    if (session_.forceQuit)
        return;
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
        progress_ = std::make_unique<ProgressDialog>([this] {
            if (session_.stop)
                session_.stop->requestStop();
        });
    return *progress_;
}

Outcome GuiPerson::run(const Work& work, bool stoppable) {
    StopControl stop;
    ProgressRelay relay;
    QObject::connect(
        &relay, &ProgressRelay::reported, &relay, [this](const Progress& p) { progress(p); },
        Qt::QueuedConnection);
    runStarted(stop, stoppable);
    Outcome outcome = runOnWorkerThread([&] { return work(stop, relay); });
    runEnded();
    return outcome;
}

void GuiPerson::runStarted(StopControl& stop, bool stoppable) {
    session_.stop = &stop;
    buttonEnabled(false);
    showSelectionWindow(false);
    progressDialog().setStopVisible(stoppable);
    // The window opens with the run's first report: a deletion, which reports
    // nothing, shows none.
    openOnReport_ = true;
    runStart_ = std::chrono::steady_clock::now();
}

void GuiPerson::progress(const Progress& progress) {
    // A closed window takes the report too and stays hidden until it is shown again.
    ProgressDialog& dialog = progressDialog();
    if (openOnReport_) {
        openOnReport_ = false;
        dialog.open();
    }
    dialog.setProgress(progress);
    if (std::optional<double> share = runShare(progress))
        dialog.setProgressFraction(*share);
    dialog.setTimeLeft(timeLeft(progress, std::chrono::steady_clock::now() - runStart_));
}

void GuiPerson::runEnded() {
    openOnReport_ = false;
    if (progress_)
        progress_->dismiss();
    showSelectionWindow(true);
    buttonEnabled(true);
    session_.stop = nullptr;
}

void GuiPerson::buttonEnabled(bool on) {
    if (buttonEnabled_)
        buttonEnabled_(on);
}

void GuiPerson::showSelectionWindow(bool visible) {
    if (!selectionWindow_)
        return;
    // After a forced close the tool is going away: the window must not come back.
    if (visible && session_.forceQuit)
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
