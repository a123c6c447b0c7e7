#pragma once

#include "base/Person.h"
#include "base/RunHost.h"
#include "import/BatchImport.h"

namespace mrk2 {

// What mrk2cli's register-all and update-all and the desktop tool's
// 「全国一括登録」 do, through the writers' starter (OperationStarter.h): refuse an
// empty list, hold the directory's writer lock once for the whole build, and
// run the build on the face's host, whose Stop stops every region. Each
// region's own report (its failure) is told in the order of the regions; the
// face shows the table.
BatchOutcome startBatchImport(const BatchRequest& request, Person& person, RunHost& host,
                              BatchProgressSink& sink);

}  // namespace mrk2
