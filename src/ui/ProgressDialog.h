#pragma once
#include <QDialog>

#include "app/AppState.h"
#include "app/Person.h"

class QLabel;
class QPushButton;

namespace mrk2::ui {

// frmOnProccess: four centred lines written by the running operation, and "中止".
// Modeless; the operation keeps running and yields so that the button can act.
class ProgressDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ProgressDialog(AppState& state, QWidget* parent = nullptr);

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

    AppState& state_;
    QLabel* onProccess_;
    QLabel* detailStatus_;
    QLabel* detailProc_;
    QLabel* detailProcSub_;
    QPushButton* stop_;
};

}  // namespace mrk2::ui
