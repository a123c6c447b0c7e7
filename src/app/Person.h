#pragma once
#include <string>

namespace mrk2 {

enum class Icon { None, Critical };

enum class Answer { Yes, No, Cancel };

// The four labels of the progress window, top to bottom.
enum class ProgressLabel { OnProccess, DetailStatus, DetailProc, DetailProcSub };

// Everything the engine shows to, or asks of, the person at the keyboard. The Qt
// windows, mrk2cli and the test recorder each implement it; engine code never
// touches a widget.
class Person {
  public:
    virtual ~Person() = default;

    // A message box with one OK button and the application title.
    virtual void message(const std::string& text, Icon icon = Icon::None) = 0;
    // Yes/No question with the application title; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // OK/Cancel question; true for OK.
    virtual bool askOkCancel(const std::string& text) = 0;
    // Yes/No/Cancel question.
    virtual Answer askYesNoCancel(const std::string& text) = 0;

    // The progress window ("データベース更新").
    virtual void showProgress(bool stopVisible) = 0;
    virtual void setProgressLabel(ProgressLabel label, const std::string& text) = 0;
    virtual void closeProgress() = 0;

    // Lets the window system run once: a Stop or a forced close may clear
    // AppState::blnProcessing during this call. Callers pace it (ProgressPacer).
    virtual void yield() = 0;

    // The main window's ButtonEnabled, and hiding/showing the CSV selection window
    // while a run works. Without windows these do nothing.
    virtual void buttonEnabled(bool on) = 0;
    virtual void showSelectionWindow(bool visible) = 0;
};

}  // namespace mrk2
