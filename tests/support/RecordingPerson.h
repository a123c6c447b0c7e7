#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/Person.h"
#include "app/Progress.h"
#include "app/ProgressText.h"

namespace mrk2::test {

// Stands in for the person in engine tests: records everything shown and
// answers questions from a script (default: No / Cancel).
class RecordingPerson : public Person {
  public:
    struct Shown {
        std::string text;
        Icon icon;
    };
    enum class RunEvent { Started, Ended };

    void message(const std::string& text, Icon icon) override;
    using Person::message;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;
    void runStarted(StopControl& stop, bool stoppable) override;
    void progress(const Progress& progress) override;
    void yield() override;
    void runEnded() override;

    // Presses the running run's Stop, as the progress window's 中止 would.
    void stopNow();

    // Answers for the coming questions, in order (Yes/OK = Answer::Yes).
    std::deque<Answer> answers;
    // Called on every yield with its ordinal (1, 2, ...): a test presses Stop here.
    std::function<void(int)> onYield;

    std::vector<Shown> messages;
    std::vector<std::string> questions;
    std::vector<Progress> reports;  // every progress report, in order
    std::vector<RunEvent> runEvents;
    int yields = 0;
    bool lastStoppable = false;
    // The Stop of the run going on now; null outside a run.
    StopControl* stop = nullptr;

    // The lines the progress window would show for the last report, "" if none.
    std::string lastLabel(ProgressLabel label) const;
    // The texts one line showed, in order; a report that leaves it as it was
    // adds nothing.
    std::vector<std::string> labelHistory(ProgressLabel label) const;
    // All message texts, joined by "\n---\n" (for readable failures).
    std::string allMessages() const;

  private:
    Answer next();
};

}  // namespace mrk2::test
