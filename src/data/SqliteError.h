#pragma once
#include <string>

#include "base/Error.h"

namespace mrk2 {

// An Error from an SQLite result code, described in Japanese, with SQLite's own
// message as the detail.
Error sqliteError(int resultCode, const std::string& detail = {});

}  // namespace mrk2
