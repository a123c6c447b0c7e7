#pragma once
#include <QDialog>

#include <functional>

#include "app/Progress.h"
#include "app/ProgressText.h"

class QLabel;
class QPushButton;

namespace mrk2::ui {

// frmOnProccess: four centred lines written by the running operation, and "中止".
// Modeless; the operation keeps running and yields so that the button can act.
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
    // Shows the window centred; the caller goes on working.
    void open();
    QPushButton* stopButton() const { return stop_; }

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
    QPushButton* stop_;
};

}  // namespace mrk2::ui
