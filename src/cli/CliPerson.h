#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "base/Person.h"
#include "base/ProgressSink.h"
#include "base/RunHost.h"

namespace mrk2::cli {

enum class AnswerPolicy { Ask, Yes, No };

// The person at a terminal, or a script. Messages go to stderr, one block each.
// Questions are answered by --yes/--no, else asked on the terminal, else No.
// Runs are hosted on the program's own thread. Ctrl-C is the Stop button: it
// sets the running run's Stop at once; a second Ctrl-C ends the program at once
// (work files are then left for the next run). On a terminal, and unless quiet,
// the progress window is one status line on stderr: the four labels, the rows
// read and rows per second, the share of the run's bytes read and the time
// left, redrawn at most ten times a second.
class CliPerson : public Person, public ProgressSink, public RunHost {
  public:
    CliPerson(AnswerPolicy policy, bool quiet);
    ~CliPerson() override;

    void message(const std::string& text, Icon icon = Icon::None) override;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;

    void progress(const Progress& progress) override;
    Outcome run(const Work& work, bool stoppable) override;

    // Whether Ctrl-C was pressed since the program started.
    static bool interrupted();

  private:
    enum class Reply { Yes, No, Cancel };
    Reply ask(const std::string& text, const char* choices, bool allowCancel);
    void drawStatus(bool force);
    void clearStatus();

    AnswerPolicy policy_;
    bool quiet_;
    bool statusOnTerminal_;
    bool progressShown_ = false;
    bool statusDrawn_ = false;
    Progress progress_;
    std::chrono::steady_clock::time_point lastDraw_{};
    std::chrono::steady_clock::time_point progressStart_{};
};

}  // namespace mrk2::cli
