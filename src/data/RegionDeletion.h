#pragma once
#include <string>

#include "app/Outcome.h"
#include "app/Person.h"

namespace mrk2 {

struct RegionDeletionRequest {
    std::string dbDir;
    std::string region;  // as the region box shows it
};

// The "削除" operation: checks, the OK/Cancel confirmation, then the catalog row
// and the file go together or not at all. Completed when the region was deleted;
// Failed (told to the person) when it was refused or failed; NothingToDo when the
// person cancelled.
Outcome deleteRegion(const RegionDeletionRequest& request, Person& person);

}  // namespace mrk2
