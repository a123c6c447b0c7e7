#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"

namespace mrk2 {

// How an operation ended: the one answer an operation gives its caller. A run
// may end on another thread than the person's, so it tells nothing itself: what
// the person must hear (the failure, a work file that stayed) travels in
// `report`, and the starter tells it (tellOutcome in ErrorReport.h).
struct Outcome {
    enum class Kind {
        Completed,
        NothingToDo,
        Stopped,
        Failed,
        Refused  // would not start: a check or the writer lock said no
    };

    Kind kind = Kind::Completed;
    std::vector<std::string> report;  // texts for the person, in order
    // Completed: what the operation changed, one line each, ending with the time
    // it took; the end message carries it and mrk2cli prints it. Empty when the
    // operation keeps no such account.
    std::string summary;

    static Outcome completed() { return {Kind::Completed, {}, {}}; }
    static Outcome nothingToDo() { return {Kind::NothingToDo, {}, {}}; }
    static Outcome stopped() { return {Kind::Stopped, {}, {}}; }
    static Outcome failed() { return {Kind::Failed, {}, {}}; }
    static Outcome refused() { return {Kind::Refused, {}, {}}; }

    // Completed or nothing to do: the operation did all that was asked of it.
    bool succeeded() const { return kind == Kind::Completed || kind == Kind::NothingToDo; }
};

}  // namespace mrk2
