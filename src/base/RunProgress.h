#pragma once
#include <cstdint>

#include "base/FaultPoint.h"
#include "base/ProgressPacer.h"
#include "base/ProgressSink.h"
#include "base/StopControl.h"

namespace mrk2 {

// A run's side of the progress display: it keeps the latest report and hands it
// to the sink when a step begins and, paced, while lines are read. The Stop is
// looked at by the run itself, at every record and between steps.
class RunProgress {
  public:
    RunProgress(ProgressSink& sink, StopControl& stop) : sink_(sink), stop_(stop) {}

    Progress& report() { return progress_; }
    bool stopped() const { return stop_.stopRequested(); }

    // Reports the new step at once.
    void step(ProgressStep step) {
        faultPoint();
        progress_.step = step;
        sink_.progress(progress_);
    }
    // Reports the same report again, from a long step's paced loop: the display
    // learns that the run still moves.
    void pulse() { sink_.progress(progress_); }

    // Begins file `n` of the run: `size` bytes, read after `bytesBefore` bytes of
    // earlier files.
    void beginFile(int n, const std::string& name, std::uint64_t bytesBefore,
                   bool inArchive = false) {
        progress_.file = n;
        progress_.fileName = name;
        progress_.fileInArchive = inArchive;
        progress_.rows = 0;
        fileBase_ = bytesBefore;
    }

    // While a file is read: `rows` lines and `bytes` bytes of it so far. Reports
    // at most once per pacer period.
    void reading(std::int64_t rows, std::uint64_t bytes) {
        if (pacer_.due())
            show(rows, bytes);
    }
    // The file's final count, reported at once.
    void fileRead(std::int64_t rows, std::uint64_t bytes) {
        show(rows, bytes);
        rowsBase_ += rows;
    }

  private:
    void show(std::int64_t rows, std::uint64_t bytes) {
        progress_.rows = rows;
        progress_.runRows = rowsBase_ + rows;
        progress_.bytesRead = fileBase_ + bytes;
        sink_.progress(progress_);
    }

    ProgressSink& sink_;
    StopControl& stop_;
    Progress progress_;
    ProgressPacer pacer_;
    std::uint64_t fileBase_ = 0;
    std::int64_t rowsBase_ = 0;
};

}  // namespace mrk2
