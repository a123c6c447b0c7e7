#pragma once
#include <functional>

#include "base/Outcome.h"
#include "base/ProgressSink.h"
#include "base/StopControl.h"

namespace mrk2 {

// Where a face runs the work of an operation once its starter has settled every
// question and taken the writer lock: mrk2cli on its own thread with Ctrl-C as
// the Stop, the desktop tool on a worker thread behind its progress window. The
// host owns the run's Stop and its progress display for the length of `work`.
class RunHost {
  public:
    using Work = std::function<Outcome(StopControl& stop, ProgressSink& sink)>;

    virtual ~RunHost() = default;
    // Runs `work` to its end and returns its outcome. `stoppable` says whether
    // the person is offered a Stop at all.
    virtual Outcome run(const Work& work, bool stoppable) = 0;
};

}  // namespace mrk2
