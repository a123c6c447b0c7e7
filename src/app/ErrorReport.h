#pragma once
#include <exception>
#include <string>

#include "app/Error.h"
#include "app/Person.h"

namespace mrk2 {

// Shows the standard error report for any exception: description, "(", number,
// ")", and the context (a path or a region name) on its own line.
inline void reportError(Person& person, const std::exception& e, const std::string& context = {}) {
    person.message(standardErrorText(asError(e), context));
}

}  // namespace mrk2
