#pragma once
#include <string>

#include "app/Progress.h"
#include "app/StopControl.h"

namespace mrk2 {

enum class Icon { None, Critical };

enum class Answer { Yes, No, Cancel };

// Everything an operation shows to, or asks of, the person at the keyboard. The Qt
// windows, mrk2cli and the test recorder each implement it; engine code never
// touches a widget and never reads a window.
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

    // A run begins: nothing else may start until it has ended. `stop` is the
    // run's Stop, which the person may set during yield(); `stoppable` says
    // whether the person is offered a Stop at all.
    virtual void runStarted(StopControl& stop, bool stoppable) = 0;
    // Where the run stands now.
    virtual void progress(const Progress& progress) = 0;
    // Lets the window system run once. Callers pace it (ProgressPacer).
    virtual void yield() = 0;
    // The run is over, whatever its outcome; its end message comes after this.
    virtual void runEnded() = 0;
};

}  // namespace mrk2
