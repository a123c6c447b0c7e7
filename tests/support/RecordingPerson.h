#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2::test {

// Stands in for the person in engine tests: records everything shown and
// answers questions from a script (default: No / Cancel).
class RecordingPerson : public Person {
  public:
    struct Shown {
        std::string text;
        Icon icon;
    };

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

    // Answers for the coming questions, in order (Yes/OK = Answer::Yes).
    std::deque<Answer> answers;
    // Called on every yield with its ordinal (1, 2, ...): a test presses Stop here.
    std::function<void(int)> onYield;

    std::vector<Shown> messages;
    std::vector<std::string> questions;
    std::vector<std::pair<ProgressLabel, std::string>> labels;
    std::vector<bool> buttonStates;
    std::vector<bool> selectionVisible;
    int yields = 0;
    int progressShown = 0;
    int progressClosed = 0;
    bool lastStopVisible = false;

    // The last text written to a label, "" if none.
    std::string lastLabel(ProgressLabel label) const;
    // Every label text written to one label, in order.
    std::vector<std::string> labelHistory(ProgressLabel label) const;
    // All message texts, joined by "\n---\n" (for readable failures).
    std::string allMessages() const;

  private:
    Answer next();
};

}  // namespace mrk2::test
