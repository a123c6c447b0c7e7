#pragma once
#include <optional>

#include "app/Error.h"

namespace mrk2 {

// How an operation ended. Every failure has been told to the person by the time
// the outcome is returned; `error` keeps it for callers that decide on it.
struct Outcome {
    enum class Kind { Completed, NothingToDo, Stopped, Failed };

    Kind kind = Kind::Completed;
    std::optional<Error> error;

    static Outcome completed() { return {Kind::Completed, std::nullopt}; }
    static Outcome nothingToDo() { return {Kind::NothingToDo, std::nullopt}; }
    static Outcome stopped() { return {Kind::Stopped, std::nullopt}; }
    static Outcome failed(std::optional<Error> e = std::nullopt) {
        return {Kind::Failed, std::move(e)};
    }

    // Completed or nothing to do: the operation did all that was asked of it.
    bool succeeded() const { return kind == Kind::Completed || kind == Kind::NothingToDo; }
};

}  // namespace mrk2
