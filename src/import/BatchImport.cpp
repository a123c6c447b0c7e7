#include "import/BatchImport.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "base/Error.h"
#include "base/ErrorReport.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "base/TaskPool.h"
#include "data/RegionSnapshot.h"
#include "import/ImportRun.h"
#include "import/PrefectureGroups.h"

namespace mrk2 {

namespace {

// Hands one run's reports to the build's sink under the region's number.
class RegionSink : public ProgressSink {
  public:
    RegionSink(BatchProgressSink& sink, std::size_t index) : sink_(sink), index_(index) {}
    void progress(const Progress& progress) override { sink_.regionProgress(index_, progress); }

  private:
    BatchProgressSink& sink_;
    std::size_t index_;
};

std::vector<BatchRegion> plannedRegions(const BatchRequest& request) {
    PrefectureGrouping grouping = groupByPrefecture(request.paths, request.layout);
    std::vector<BatchRegion> regions;
    SourceReader reader;
    for (PrefectureGroup& g : grouping.groups) {
        BatchRegion r;
        r.region = g.prefecture;
        r.sources = std::move(g.sources);
        for (const SourceFile& f : r.sources)
            r.bytes += reader.size(f);
        regions.push_back(std::move(r));
    }
    for (const UnreadablePath& u : grouping.unreadable) {
        BatchRegion r;
        r.region = std::filesystem::path(u.path).filename().string();
        r.outcome = Outcome::failed();
        r.outcome.report.push_back(u.error);
        regions.push_back(std::move(r));
    }
    return regions;
}

void runRegion(const BatchRequest& batch, BatchRegion& region, MemoryBudget& memory,
               StopControl& stop, ProgressSink& sink) {
    ImportRequest request;
    request.dbDir = batch.dbDir;
    request.region = region.region;
    request.sources = region.sources;
    request.layout = batch.layout;
    request.minRecs = batch.minRecs;
    request.sharedMemory = &memory;
    const std::string regionPath = files::regionDbPath(batch.dbDir, region.region);
    request.mode = batch.mode == ImportMode::Update && fileExists(regionPath)
                       ? ImportMode::Update
                       : ImportMode::Register;
    const auto started = std::chrono::steady_clock::now();
    region.started = true;
    region.outcome = runImport(request, stop, sink);
    if (fileExists(regionPath)) {
        try {
            RegionSnapshot after = readRegionSnapshot(regionPath);
            region.towns = static_cast<std::int64_t>(after.towns.size());
            region.rows = after.rows;
        } catch (const std::exception& e) {
            region.outcome.report.push_back(errorText(e, regionPath));
        }
    }
    region.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// What escaped a region's run: its Failed outcome.
Outcome escapedFailure(const std::exception_ptr& thrown, const std::string& region) {
    try {
        std::rethrow_exception(thrown);
    } catch (const std::exception& e) {
        return failure(e, region);
    } catch (...) {
        return failure(Error(0, "不明なエラーが発生しました。"), region);
    }
}

}  // namespace

BatchOutcome runBatchImport(const BatchRequest& request, StopControl& stop,
                            BatchProgressSink& sink) {
    BatchOutcome result;
    try {
        result.regions = plannedRegions(request);
    } catch (const std::exception& e) {
        result.outcome = failure(e);
        return result;
    }
    sink.planned(result.regions);
    // The largest regions go first: the build ends when its last run does, and
    // a large one begun last would run alone at the end.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < result.regions.size(); ++i) {
        if (!result.regions[i].sources.empty())
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return result.regions[a].bytes > result.regions[b].bytes;
    });
    const std::size_t jobs =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(request.jobs, 1)), 1,
                                std::max<std::size_t>(order.size(), 1));
    MemoryBudget memory(request.groupingBudget);
    const std::vector<std::exception_ptr> errors = runTasks(order.size(), jobs, [&](std::size_t n) {
        const std::size_t index = order[n];
        BatchRegion& region = result.regions[index];
        if (!stop.stopRequested()) {
            RegionSink regionSink(sink, index);
            try {
                runRegion(request, region, memory, stop, regionSink);
            } catch (...) {
                region.outcome = escapedFailure(std::current_exception(), region.region);
            }
        }
        sink.regionFinished(index, region);
    });
    // Only the sink's report of a region's end is left to throw here.
    for (std::size_t n = 0; n < order.size(); ++n) {
        if (errors[n] && result.regions[order[n]].outcome.succeeded())
            result.regions[order[n]].outcome =
                escapedFailure(errors[n], result.regions[order[n]].region);
    }

    const bool anyFailed =
        std::any_of(result.regions.begin(), result.regions.end(), [](const BatchRegion& r) {
            return r.outcome.kind == Outcome::Kind::Failed ||
                   r.outcome.kind == Outcome::Kind::Refused;
        });
    if (stop.stopRequested())
        result.outcome = Outcome::stopped();
    else if (anyFailed)
        result.outcome = Outcome::failed();
    else
        result.outcome = Outcome::completed();
    return result;
}

}  // namespace mrk2
