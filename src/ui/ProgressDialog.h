#pragma once
#include <QDialog>
#include <chrono>
#include <optional>

#include <functional>

#include "base/Progress.h"
#include "base/ProgressText.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace mrk2::ui {

// frmOnProccess: four centred lines written by the running operation, a bar with
// the time left, and "中止". Modeless; the operation runs on a worker thread, so
// the button acts at once. While a run goes on only the run's end or 中止 close
// it: Escape and the window manager's close leave it standing, so that the run
// and its Stop button never go out of sight.
class ProgressDialog : public QDialog {
    Q_OBJECT
  public:
    // `onStop` is what "中止" does besides closing the window.
    explicit ProgressDialog(std::function<void()> onStop, QWidget* parent = nullptr);

    // Writes the four lines for the report.
    void setProgress(const Progress& progress);
    void setLabel(ProgressLabel which, const QString& text);
    QString label(ProgressLabel which) const;
    void setStopVisible(bool visible);
    // How much of the run is done, 0 to 1: shows the bar under the four lines.
    void setProgressFraction(double fraction);
    // The estimate under the bar; nullopt shows none.
    void setTimeLeft(std::optional<std::chrono::seconds> left);
    // Shows the window centred; the caller goes on working.
    void open();
    // The run has ended, or 中止 was pressed: the window closes and starts blank.
    void dismiss();
    QPushButton* stopButton() const { return stop_; }
    QProgressBar* progressBar() const { return bar_; }
    QLabel* timeLeftLabel() const { return timeLeft_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void clearLabels();
    QLabel* labelFor(ProgressLabel which) const;

    std::function<void()> onStop_;
    QLabel* onProccess_;
    QLabel* detailStatus_;
    QLabel* detailProc_;
    QLabel* detailProcSub_;
    QProgressBar* bar_;
    QLabel* timeLeft_;
    QPushButton* stop_;
    bool dismissing_ = false;
};

}  // namespace mrk2::ui
