#include "support/RecordingPerson.h"

namespace mrk2::test {

namespace {
std::size_t lineIndex(ProgressLabel label) {
    return static_cast<std::size_t>(label);
}
}  // namespace

Answer RecordingPerson::next() {
    if (answers.empty())
        return Answer::No;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

void RecordingPerson::message(const std::string& text, Icon icon) {
    messages.push_back({text, icon});
}

bool RecordingPerson::askYesNo(const std::string& text) {
    questions.push_back(text);
    return next() == Answer::Yes;
}

bool RecordingPerson::askOkCancel(const std::string& text) {
    questions.push_back(text);
    return next() == Answer::Yes;
}

Answer RecordingPerson::askYesNoCancel(const std::string& text) {
    questions.push_back(text);
    if (answers.empty())
        return Answer::Cancel;
    return next();
}

Outcome RecordingPerson::run(const Work& work, bool stoppable) {
    StopControl runStop;
    runEvents.push_back(RunEvent::Started);
    lastStoppable = stoppable;
    stop = &runStop;
    Outcome outcome = work(runStop, *this);
    runEvents.push_back(RunEvent::Ended);
    stop = nullptr;
    return outcome;
}

void RecordingPerson::progress(const Progress& progress) {
    reports.push_back(progress);
    if (onReport)
        onReport(static_cast<int>(reports.size()));
}

void RecordingPerson::stopNow() {
    if (stop)
        stop->requestStop();
}

std::string RecordingPerson::lastLabel(ProgressLabel label) const {
    if (reports.empty())
        return {};
    return progressLabels(reports.back())[lineIndex(label)];
}

std::vector<std::string> RecordingPerson::labelHistory(ProgressLabel label) const {
    std::vector<std::string> out;
    for (const Progress& p : reports) {
        std::string text = progressLabels(p)[lineIndex(label)];
        if (out.empty() || out.back() != text)
            out.push_back(std::move(text));
    }
    return out;
}

std::string RecordingPerson::allMessages() const {
    std::string out;
    for (const auto& m : messages) {
        if (!out.empty())
            out += "\n---\n";
        out += m.text;
    }
    return out;
}

}  // namespace mrk2::test
