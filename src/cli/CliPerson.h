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
// Ctrl-C is the Stop button: it clears blnProcessing at the next yield.
class CliPerson : public Person {
  public:
    CliPerson(AppState& state, AnswerPolicy policy, bool quiet);
    ~CliPerson() override;

    void message(const std::string& text, Icon icon) override;
    using Person::message;
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

    AppState& state_;
    AnswerPolicy policy_;
    bool quiet_;
    bool statusOnTerminal_;
    bool progressShown_ = false;
    bool statusDrawn_ = false;
    std::array<std::string, 4> labels_;
    std::chrono::steady_clock::time_point lastDraw_{};
    std::chrono::steady_clock::time_point progressStart_{};
};

}  // namespace mrk2::cli
