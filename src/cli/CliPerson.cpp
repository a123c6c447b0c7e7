#include "cli/CliPerson.h"

#include "base/ProgressText.h"
#include "base/RunEstimate.h"
#include "base/Utf8.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <iostream>

namespace mrk2::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
// The Stop of the run going on now. Setting it is a lock-free atomic store,
// which a signal handler may do.
std::atomic<StopControl*> gRunStop{nullptr};
static_assert(std::atomic<StopControl*>::is_always_lock_free);

extern "C" void onInterrupt(int signal) {
    gInterrupted = 1;
    if (StopControl* stop = gRunStop.load())
        stop->requestStop();
    // The first Ctrl-C (or SIGTERM, as a service manager stops a program) asks
    // the run to stop; the next one ends the program.
    std::signal(signal, SIG_DFL);
}

// Cuts the status line to the terminal width, so that it never wraps: a wrapped
// line could not be redrawn in place. Wide characters count as two columns,
// half-width katakana as one.
std::string fitToTerminal(const std::string& text) {
    struct winsize ws {};
    int width = 80;
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        width = ws.ws_col;
    int used = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = utf8::nextCharacter(text, i) - i;
        const char32_t c = utf8::decodeAt(text, i).code;
        const bool halfKana = c >= U'\uFF61' && c <= U'\uFF9F';
        int cols = (len == 1 || halfKana) ? 1 : 2;
        if (used + cols > width - 1)
            break;
        used += cols;
        i += len;
    }
    return text.substr(0, i);
}

}  // namespace

CliPerson::CliPerson(AnswerPolicy policy, bool quiet)
    : policy_(policy), quiet_(quiet), statusOnTerminal_(!quiet && ::isatty(STDERR_FILENO)) {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
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

Outcome CliPerson::run(const Work& work, bool) {
    StopControl stop;
    // A Ctrl-C pressed before the run began stops it at its first record.
    if (gInterrupted)
        stop.requestStop();
    gRunStop.store(&stop);
    progressShown_ = true;
    progressStart_ = std::chrono::steady_clock::now();
    progress_ = Progress();
    Outcome outcome = work(stop, *this);
    gRunStop.store(nullptr);
    progressShown_ = false;
    clearStatus();
    return outcome;
}

void CliPerson::progress(const Progress& progress) {
    progress_ = progress;
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
    for (const auto& l : progressLabels(progress_)) {
        if (l.empty())
            continue;
        if (!line.empty())
            line += "  ";
        line += l;
    }
    double secs = std::chrono::duration<double>(now - progressStart_).count();
    std::string tail = "[" + std::to_string(static_cast<long>(secs)) + "s";
    const std::int64_t rows = progress_.runRows;
    if (rows > 0) {
        tail += " " + std::to_string(rows) + " 行";
        if (secs > 0.5)
            tail += " " + std::to_string(static_cast<long>(rows / secs)) + " 行/秒";
    }
    if (std::optional<double> share = runShare(progress_)) {
        tail += " " + std::to_string(static_cast<int>(*share * 100)) + "%";
        if (auto left = timeLeft(progress_, now - progressStart_))
            tail += " 残り約" + std::to_string(left->count()) + "s";
    }
    tail += "]";
    std::cerr << "\r\033[K" << fitToTerminal(line + "  " + tail) << std::flush;
    statusDrawn_ = true;
}

void CliPerson::clearStatus() {
    if (statusDrawn_) {
        std::cerr << "\r\033[K" << std::flush;
        statusDrawn_ = false;
    }
}

}  // namespace mrk2::cli
