#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2::cli {

enum class AnswerPolicy { Ask, Yes, No };

// The person at a terminal, or a script. Messages go to stderr, one block each.
// Questions are answered by --yes/--no, else asked on the terminal, else No.
// Ctrl-C is the Stop button: it clears blnProcessing at the next yield; a second
// Ctrl-C ends the program at once (work files are then left for the next run).
// On a terminal, and unless quiet, the progress window is one status line on
// stderr: the four labels, the rows read and rows per second, redrawn at most
// ten times a second.
class CliPerson : public Person {
  public:
    CliPerson(AppState& state, AnswerPolicy policy, bool quiet);
    ~CliPerson() override;

    void message(const std::string& text, Icon icon = Icon::None) override;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;

    void showProgress(bool stopVisible) override;
    void setProgressLabel(ProgressLabel label, const std::string& text) override;
    void closeProgress() override;
    void yield() override;
    void buttonEnabled(bool) override {}
    void showSelectionWindow(bool) override {}

    // Whether Ctrl-C was pressed since the program started.
    static bool interrupted();

  private:
    enum class Reply { Yes, No, Cancel };
    Reply ask(const std::string& text, const char* choices, bool allowCancel);
    void drawStatus(bool force);
    void clearStatus();
    void countRows(const std::string& counterText);

    AppState& state_;
    AnswerPolicy policy_;
    bool quiet_;
    bool statusOnTerminal_;
    bool progressShown_ = false;
    bool statusDrawn_ = false;
    std::array<std::string, 4> labels_;
    std::chrono::steady_clock::time_point lastDraw_{};
    std::chrono::steady_clock::time_point progressStart_{};
    // Rows of the files finished in this progress window, and the running count
    // of the current file (the counter label starts again at each file).
    std::int64_t rowsDone_ = 0;
    std::int64_t rowsCurrent_ = 0;
};

}  // namespace mrk2::cli
