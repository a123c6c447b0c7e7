#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Outcome.h"
#include "base/Progress.h"
#include "base/StopControl.h"
#include "import/ImportRequest.h"

namespace mrk2 {

// A national build: every prefecture found in the given sources becomes the
// region named by the prefecture, several regions at a time.
struct BatchRequest {
    // Register builds every region afresh; Update updates the regions that
    // exist (only changed members are loaded again) and registers the others.
    ImportMode mode = ImportMode::Register;
    std::string dbDir;
    std::vector<std::string> paths;  // archives, CSV files and directories
    ConfiguredColumns layout;
    std::int32_t minRecs = 1000;
    int jobs = 1;  // regions built at the same time
    // The memory for lines grouped in memory of all jobs together, shared by
    // the runs going on (MemoryBudget), so that the build's memory does not
    // grow with the jobs and the last runs get what the ended ones held.
    std::size_t groupingBudget = defaultMemoryBudget();
};

// One region of a national build, and how its run ended.
struct BatchRegion {
    std::string region;  // the prefecture; for a path that gave none, the path
    std::vector<SourceFile> sources;
    std::uint64_t bytes = 0;  // the sources' sizes added up
    std::int64_t towns = 0;   // after the run
    std::int64_t rows = 0;
    double seconds = 0;
    bool started = false;
    Outcome outcome = Outcome::stopped();
};

// What a national build reports while it runs. Called from the runs' threads,
// at once from several: an implementation hands each report over safely.
class BatchProgressSink {
  public:
    virtual ~BatchProgressSink() = default;
    // Once, before any run: the regions the build will make, in order.
    virtual void planned(const std::vector<BatchRegion>& regions) = 0;
    virtual void regionProgress(std::size_t index, const Progress& progress) = 0;
    virtual void regionFinished(std::size_t index, const BatchRegion& region) = 0;
};

struct BatchOutcome {
    // Completed when every region was built; Failed when one failed (the others
    // still ran); Stopped when the Stop came first.
    Outcome outcome;
    std::vector<BatchRegion> regions;
};

// Groups the sources by prefecture and runs one import per prefecture, `jobs`
// at a time on threads of its own. A failing region does not stop the others;
// the Stop stops them all, each leaving its database old or new. It takes no
// writer lock: whoever starts it holds the directory's for the whole build.
BatchOutcome runBatchImport(const BatchRequest& request, StopControl& stop,
                            BatchProgressSink& sink);

}  // namespace mrk2
