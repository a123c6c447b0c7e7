#pragma once
#include <string>

namespace mrk2 {

enum class Icon { None, Critical };

enum class Answer { Yes, No, Cancel };

// Everything a starter shows to, or asks of, the person at the keyboard, on the
// person's own thread. The Qt windows, mrk2cli and the test recorder each
// implement it; engine code never touches a widget and never reads a window. A
// run asks nothing: its questions are settled before it begins, and it reports
// through a ProgressSink.
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
};

}  // namespace mrk2
