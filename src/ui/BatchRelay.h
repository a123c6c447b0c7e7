#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include "import/BatchImport.h"
#include "ui/ProgressRelay.h"

namespace mrk2::ui {

// The batch window's sink: the runs of a national build report here from their
// threads, and the reports reach the GUI thread as queued signals.
class BatchRelay : public QObject, public BatchProgressSink {
    Q_OBJECT
  public:
    explicit BatchRelay(QObject* parent = nullptr);
    void planned(const std::vector<BatchRegion>& regions) override;
    void regionProgress(std::size_t index, const Progress& progress) override;
    void regionFinished(std::size_t index, const BatchRegion& region) override;

  signals:
    // Names of the regions, and for each whether it failed before it began.
    void regionsPlanned(const QStringList& names, const QStringList& failedBefore);
    void regionReported(int index, const mrk2::Progress& progress);
    void regionEnded(int index, const QString& outcome, double seconds);
};

}  // namespace mrk2::ui
