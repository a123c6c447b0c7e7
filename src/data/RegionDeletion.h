#pragma once
#include <string>

#include "app/Outcome.h"
#include "app/Person.h"
#include "app/RunHost.h"

namespace mrk2 {

struct RegionDeletionRequest {
    std::string dbDir;
    std::string region;  // as the region box shows it
};

// The deletion itself, under its starter's writer lock: the catalog row and the
// file go together or not at all. Completed when the region was deleted;
// Refused when there is no such region (any more); Failed when it failed.
Outcome deleteRegion(const RegionDeletionRequest& request);

// What "削除" and mrk2cli delete do: the checks, the OK/Cancel confirmation, the
// directory's writer lock and the deletion on the face's host; a refusal or
// failure is told. NothingToDo when the person cancelled.
Outcome startRegionDeletion(const RegionDeletionRequest& request, Person& person, RunHost& host);

}  // namespace mrk2
