#pragma once
#include <exception>
#include <string>

#include "app/Error.h"
#include "app/Person.h"

namespace mrk2 {

// Tells the person about a failure, once, where an operation started: a
// Refusal as its own text; anything else as the standard error report
// (description, "(", number, ")", and the context on its own line).
inline void reportError(Person& person, const std::exception& e, const std::string& context = {}) {
    if (dynamic_cast<const Refusal*>(&e)) {
        person.message(e.what());
        return;
    }
    person.message(standardErrorText(asError(e), context));
}

}  // namespace mrk2
