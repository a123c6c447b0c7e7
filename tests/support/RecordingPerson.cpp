#include "support/RecordingPerson.h"

namespace mrk2::test {

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

void RecordingPerson::showProgress(bool stopVisible) {
    ++progressShown;
    lastStopVisible = stopVisible;
}

void RecordingPerson::setProgressLabel(ProgressLabel label, const std::string& text) {
    labels.emplace_back(label, text);
}

void RecordingPerson::closeProgress() {
    ++progressClosed;
}

void RecordingPerson::yield() {
    ++yields;
    if (onYield)
        onYield(yields);
}

void RecordingPerson::buttonEnabled(bool on) {
    buttonStates.push_back(on);
}

void RecordingPerson::showSelectionWindow(bool visible) {
    selectionVisible.push_back(visible);
}

std::string RecordingPerson::lastLabel(ProgressLabel label) const {
    for (auto it = labels.rbegin(); it != labels.rend(); ++it) {
        if (it->first == label)
            return it->second;
    }
    return {};
}

std::vector<std::string> RecordingPerson::labelHistory(ProgressLabel label) const {
    std::vector<std::string> out;
    for (const auto& [l, t] : labels) {
        if (l == label)
            out.push_back(t);
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
