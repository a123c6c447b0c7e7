#pragma once
#include <QObject>

#include "base/Progress.h"
#include "base/ProgressSink.h"

Q_DECLARE_METATYPE(mrk2::Progress)

namespace mrk2::ui {

// The desktop tool's progress sink: a run on a worker thread hands its reports
// here, and they reach the GUI thread as queued signals. The run never waits for
// the window, and the window never runs inside the run.
class ProgressRelay : public QObject, public ProgressSink {
    Q_OBJECT
  public:
    explicit ProgressRelay(QObject* parent = nullptr);
    void progress(const Progress& progress) override;

  signals:
    void reported(const mrk2::Progress& progress);
};

}  // namespace mrk2::ui
