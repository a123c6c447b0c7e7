#pragma once
#include <string>

#include "app/AppState.h"
#include "app/Person.h"

namespace mrk2 {

// A region name that can be a file name here: not empty, no '/', no NUL, not "." or "..".
bool isUsableRegionName(const std::string& name);

// The "削除" operation for the region named `regionName`: checks, the OK/Cancel
// confirmation, then the catalog row and the file go together or not at all.
// Sets state.strPrefDb and state.strPrefDbPath. True when the region was deleted.
bool deleteRegion(AppState& state, Person& person, const std::string& regionName);

}  // namespace mrk2
