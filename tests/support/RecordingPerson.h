#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/Person.h"
#include "base/Progress.h"
#include "base/ProgressSink.h"
#include "base/ProgressText.h"
#include "base/RunHost.h"

namespace mrk2::test {

// Stands in for the person in engine tests: records everything shown and every
// progress report, answers questions from a script (default: No / Cancel), and
// hosts runs on the test's own thread.
class RecordingPerson : public Person, public ProgressSink, public RunHost {
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
    void progress(const Progress& progress) override;
    Outcome run(const Work& work, bool stoppable) override;

    // Presses the running run's Stop, as the progress window's 中止 would.
    void stopNow();

    // Answers for the coming questions, in order (Yes/OK = Answer::Yes).
    std::deque<Answer> answers;
    // Called on every progress report with its ordinal (1, 2, ...): a test
    // presses Stop here.
    std::function<void(int)> onReport;

    std::vector<Shown> messages;
    std::vector<std::string> questions;
    std::vector<Progress> reports;    // every progress report, in order
    std::vector<RunEvent> runEvents;  // the runs this host ran
    bool lastStoppable = false;
    // The Stop of the run going on now, for stopNow(); a test running an
    // operation without this host may point it at its own.
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
