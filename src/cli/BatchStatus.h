#pragma once
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "import/BatchImport.h"

namespace mrk2::cli {

// The terminal's view of a national build: one status line per running region
// (its step, share and seconds) and one for the whole build (regions done, its
// share of all sources' bytes and the time left), redrawn in place at most ten
// times a second. Off a terminal, one line per finished region instead.
class BatchStatus : public BatchProgressSink {
  public:
    explicit BatchStatus(bool quiet);
    ~BatchStatus() override;

    void planned(const std::vector<BatchRegion>& regions) override;
    void regionProgress(std::size_t index, const Progress& progress) override;
    void regionFinished(std::size_t index, const BatchRegion& region) override;

    // Takes the status lines away, before the end table is printed.
    void clear();

  private:
    struct Running {
        Progress progress;
        std::chrono::steady_clock::time_point started;
    };
    void draw(bool force);
    void erase();

    const bool quiet_;
    const bool onTerminal_;
    std::mutex mutex_;
    std::vector<std::string> names_;
    std::vector<std::uint64_t> bytes_;
    std::uint64_t bytesTotal_ = 0;
    std::uint64_t bytesDone_ = 0;
    std::size_t done_ = 0;
    std::map<std::size_t, Running> running_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDraw_{};
    int linesDrawn_ = 0;
};

// The outcome of a region as the end table and the batch window name it.
std::string batchOutcomeName(const Outcome& outcome, bool started);

}  // namespace mrk2::cli
