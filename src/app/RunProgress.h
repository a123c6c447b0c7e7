#pragma once
#include <cstdint>

#include "app/Person.h"
#include "app/ProgressPacer.h"
#include "app/StopControl.h"

namespace mrk2 {

// A run's side of the progress display: it keeps the latest report, hands it to
// the person when a step begins and, paced, while lines are read, and lets the
// window system run so that a Stop can be pressed.
class RunProgress {
  public:
    RunProgress(Person& person, StopControl& stop) : person_(person), stop_(stop) {}

    Progress& report() { return progress_; }
    Person& person() { return person_; }
    bool stopped() const { return stop_.stopRequested(); }

    // Reports the new step at once.
    void step(ProgressStep step) {
        progress_.step = step;
        person_.progress(progress_);
    }
    void yield() { person_.yield(); }

    // Begins file `n` of the run: `size` bytes, read after `bytesBefore` bytes of
    // earlier files.
    void beginFile(int n, const std::string& name, std::uint64_t bytesBefore) {
        progress_.file = n;
        progress_.fileName = name;
        progress_.rows = 0;
        fileBase_ = bytesBefore;
    }

    // While a file is read: `rows` lines and `bytes` bytes of it so far. Reports
    // and yields at most once per pacer period.
    void reading(std::int64_t rows, std::uint64_t bytes) {
        if (!pacer_.due())
            return;
        show(rows, bytes);
        person_.yield();
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
        person_.progress(progress_);
    }

    Person& person_;
    StopControl& stop_;
    Progress progress_;
    ProgressPacer pacer_;
    std::uint64_t fileBase_ = 0;
    std::int64_t rowsBase_ = 0;
};

}  // namespace mrk2
