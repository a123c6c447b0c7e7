#pragma once

namespace mrk2::serve {

// The server's own error numbers: 10000 plus the HTTP status they answer with,
// so that the number in an answer's body and its status tell the same thing
// (see docs/errors.md). Any other mrk2::Error reaching a handler answers 500.
namespace HttpError {
inline constexpr int BadRequest = 10400;     // a parameter missing, malformed or out of range
inline constexpr int UnknownRegion = 10404;  // a region the catalog does not hold, or a path
inline constexpr int TooLarge = 10413;       // a body over the limit
inline constexpr int UriTooLong = 10414;     // a target over the limit, an address too long
}  // namespace HttpError

// The status an error number answers with.
inline int httpStatusOf(int number) {
    return number >= 10400 && number < 10600 ? number - 10000 : 500;
}

}  // namespace mrk2::serve
