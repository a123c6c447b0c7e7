#pragma once
#include <exception>
#include <string>

#include "base/Error.h"
#include "base/Outcome.h"
#include "base/Person.h"

namespace mrk2 {

// A failure as the person reads it: a Refusal as its own text; anything else as
// the standard error report (description, "(", number, ")", and the context on
// its own line).
inline std::string errorText(const std::exception& e, const std::string& context = {}) {
    if (dynamic_cast<const Refusal*>(&e))
        return e.what();
    return standardErrorText(asError(e), context);
}

// Tells the person about a failure, once, where an operation started.
inline void reportError(Person& person, const std::exception& e, const std::string& context = {}) {
    person.message(errorText(e, context));
}

// The outcome of an operation that failed with `e`, caught where it started: a
// Refusal refuses, anything else fails; the text for the person goes with it.
inline Outcome failure(const std::exception& e, const std::string& context = {}) {
    Outcome outcome = Outcome::failed();
    if (dynamic_cast<const Refusal*>(&e))
        outcome.kind = Outcome::Kind::Refused;
    outcome.report.push_back(errorText(e, context));
    return outcome;
}

// Tells the person what the outcome carries for them, in order.
inline void tellOutcome(Person& person, const Outcome& outcome) {
    for (const std::string& text : outcome.report)
        person.message(text);
}

}  // namespace mrk2
