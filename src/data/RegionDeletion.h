#pragma once
#include <string>

#include "base/Outcome.h"
#include "base/Person.h"
#include "base/RunHost.h"

namespace mrk2 {

struct RegionDeletionRequest {
    std::string dbDir;
    std::string region;  // as the region box shows it
    // The desktop tool ends with "処理を完了しました。" and the summary; mrk2cli
    // prints the outcome's summary itself.
    bool summaryInEndMessage = false;
};

// The deletion itself, under its starter's writer lock: the catalog row and the
// file go together or not at all. Completed when the region was deleted, with
// what went (the file, its towns and rows, the catalog row) and the time in the
// outcome's summary;
// Refused when there is no such region (any more); Failed when it failed.
Outcome deleteRegion(const RegionDeletionRequest& request);

// What "削除" and mrk2cli delete do, through the writers' starter
// (OperationStarter.h): the checks and the OK/Cancel confirmation, then the
// deletion on the face's host; a refusal or failure is told. NothingToDo when
// the person cancelled.
Outcome startRegionDeletion(const RegionDeletionRequest& request, Person& person, RunHost& host);

}  // namespace mrk2
