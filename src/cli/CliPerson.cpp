#include "cli/CliPerson.h"

#include <unistd.h>

#include <csignal>
#include <iostream>

namespace mrk2::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int) {
    gInterrupted = 1;
}

}  // namespace

CliPerson::CliPerson(AppState& state, AnswerPolicy policy, bool quiet)
    : state_(state),
      policy_(policy),
      quiet_(quiet),
      statusOnTerminal_(!quiet && ::isatty(STDERR_FILENO)) {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
}

CliPerson::~CliPerson() {
    clearStatus();
}

bool CliPerson::interrupted() {
    return gInterrupted != 0;
}

void CliPerson::message(const std::string& text, Icon) {
    clearStatus();
    std::cerr << text << "\n" << std::flush;
}

CliPerson::Reply CliPerson::ask(const std::string& text, const char* choices, bool allowCancel) {
    clearStatus();
    std::cerr << text << "\n";
    if (policy_ == AnswerPolicy::Yes) {
        std::cerr << "→ はい (--yes)\n";
        return Reply::Yes;
    }
    if (policy_ == AnswerPolicy::No) {
        std::cerr << "→ いいえ (--no)\n";
        return Reply::No;
    }
    if (!::isatty(STDIN_FILENO)) {
        std::cerr << "→ いいえ (標準入力が端末ではないため。--yes で「はい」と答えます)\n";
        return Reply::No;
    }
    for (;;) {
        std::cerr << choices << " " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line))
            return Reply::No;
        if (line == "y" || line == "Y" || line == "yes")
            return Reply::Yes;
        if (line == "n" || line == "N" || line == "no")
            return Reply::No;
        if (allowCancel && (line == "c" || line == "C"))
            return Reply::Cancel;
    }
}

bool CliPerson::askYesNo(const std::string& text) {
    return ask(text, "[y/n]", false) == Reply::Yes;
}

bool CliPerson::askOkCancel(const std::string& text) {
    return ask(text, "[y=OK/n=キャンセル]", false) == Reply::Yes;
}

Answer CliPerson::askYesNoCancel(const std::string& text) {
    switch (ask(text, "[y/n/c=キャンセル]", true)) {
        case Reply::Yes:
            return Answer::Yes;
        case Reply::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void CliPerson::showProgress(bool) {
    progressShown_ = true;
    progressStart_ = std::chrono::steady_clock::now();
    for (auto& l : labels_)
        l.clear();
}

void CliPerson::setProgressLabel(ProgressLabel label, const std::string& text) {
    labels_[static_cast<std::size_t>(label)] = text;
    drawStatus(false);
}

void CliPerson::closeProgress() {
    progressShown_ = false;
    clearStatus();
}

void CliPerson::yield() {
    if (gInterrupted && state_.blnProcessing)
        state_.blnProcessing = false;
    drawStatus(false);
}

void CliPerson::drawStatus(bool force) {
    if (!statusOnTerminal_ || !progressShown_)
        return;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    std::string line;
    for (const auto& l : labels_) {
        if (l.empty())
            continue;
        if (!line.empty())
            line += "  ";
        line += l;
    }
    double secs = std::chrono::duration<double>(now - progressStart_).count();
    std::cerr << "\r\033[K" << line << "  [" << static_cast<long>(secs) << "s]" << std::flush;
    statusDrawn_ = true;
}

void CliPerson::clearStatus() {
    if (statusDrawn_) {
        std::cerr << "\r\033[K" << std::flush;
        statusDrawn_ = false;
    }
}

}  // namespace mrk2::cli
