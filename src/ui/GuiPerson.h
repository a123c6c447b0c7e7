#pragma once
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>

#include "base/Person.h"
#include "base/RunHost.h"
#include "ui/ProgressDialog.h"
#include "ui/Prompter.h"
#include "ui/Session.h"

class QWidget;

namespace mrk2::ui {

// The person at the keyboard as the engine sees it in the desktop tool: message
// boxes through the prompter and the one progress window. It hosts every run on
// a worker thread, whose reports come back as queued signals. A run's start and
// end switch the main window's buttons (ButtonEnabled) and hide and show the
// CSV selection window. Windows that show messages of their own go through it
// too. Once the tool is closing during a run, nothing more is shown.
class GuiPerson : public Person, public RunHost {
  public:
    GuiPerson(Session& session, Prompter& prompter);
    ~GuiPerson() override;

    void message(const std::string& text, Icon icon) override;
    using Person::message;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;

    // Runs `work` on a worker thread behind the progress window; the GUI thread
    // stays free meanwhile, and the window's 中止 sets the run's Stop.
    Outcome run(const Work& work, bool stoppable) override;

    // The run's display, on the GUI thread: begins (buttons off, the window
    // open), shows a report, ends.
    void runStarted(StopControl& stop, bool stoppable);
    void progress(const Progress& progress);
    void runEnded();

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

    void buttonEnabled(bool on);
    void showSelectionWindow(bool visible);

    Session& session_;
    Prompter& prompter_;
    std::unique_ptr<ProgressDialog> progress_;
    std::chrono::steady_clock::time_point runStart_{};
    bool openOnReport_ = false;
    std::function<void(bool)> buttonEnabled_;
    QPointer<QWidget> selectionWindow_;
};

}  // namespace mrk2::ui
