#pragma once
#include "base/Progress.h"

namespace mrk2 {

// Where a run reports how far it is. The run calls it on its own thread, which
// need not be the thread of the window or terminal that shows the reports: an
// implementation hands each report over safely and returns at once, and never
// asks anything or lets an event loop run inside the call.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void progress(const Progress& progress) = 0;
};

}  // namespace mrk2
