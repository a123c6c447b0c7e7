#include "ui/ProgressDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/TimeLeftText.h"
#include "ui/WindowPlacement.h"

namespace mrk2::ui {

namespace {
QLabel* makeLine(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(12);
    label->setFont(font);
    // An empty line keeps its height, so the window does not jump as texts come and go.
    label->setMinimumHeight(label->fontMetrics().height() + 4);
    return label;
}
}  // namespace

ProgressDialog::ProgressDialog(std::function<void()> onStop, QWidget* parent)
    : QDialog(parent), onStop_(std::move(onStop)) {
    setObjectName(QStringLiteral("frmOnProccess"));
    setWindowTitle(QStringLiteral("データベース更新"));
    setModal(false);
    // No close box: the window belongs to the run and goes when the run ends.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);

    onProccess_ = makeLine(this, "lblOnProccess");
    detailStatus_ = makeLine(this, "lblDetailStatus");
    detailProc_ = makeLine(this, "lblDetailProc");
    detailProcSub_ = makeLine(this, "lblDetailProcSub");
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("barProgress"));
    bar_->setRange(0, 1000);
    bar_->setTextVisible(false);
    bar_->hide();
    timeLeft_ = new QLabel(this);
    timeLeft_->setObjectName(QStringLiteral("lblTimeLeft"));
    timeLeft_->setAlignment(Qt::AlignCenter);
    timeLeft_->hide();
    stop_ = new QPushButton(QStringLiteral("中止"), this);
    stop_->setObjectName(QStringLiteral("cmdStop"));
    stop_->setMinimumWidth(110);
    stop_->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(6);
    layout->addWidget(onProccess_);
    layout->addWidget(detailStatus_);
    layout->addWidget(detailProc_);
    layout->addWidget(detailProcSub_);
    layout->addWidget(bar_);
    layout->addWidget(timeLeft_);
    layout->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop_);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(440);

    // Stop is the only way to cancel: the run sees the flag at its next record.
    connect(stop_, &QPushButton::clicked, this, [this] {
        if (onStop_)
            onStop_();
        dismiss();
    });
}

QLabel* ProgressDialog::labelFor(ProgressLabel which) const {
    switch (which) {
        case ProgressLabel::OnProccess:
            return onProccess_;
        case ProgressLabel::DetailStatus:
            return detailStatus_;
        case ProgressLabel::DetailProc:
            return detailProc_;
        case ProgressLabel::DetailProcSub:
            return detailProcSub_;
    }
    return onProccess_;
}

void ProgressDialog::setProgress(const Progress& progress) {
    const auto lines = progressLabels(progress);
    for (auto which : {ProgressLabel::OnProccess, ProgressLabel::DetailStatus,
                       ProgressLabel::DetailProc, ProgressLabel::DetailProcSub})
        setLabel(which, QString::fromStdString(lines[static_cast<std::size_t>(which)]));
}

void ProgressDialog::setLabel(ProgressLabel which, const QString& text) {
    labelFor(which)->setText(text);
}

QString ProgressDialog::label(ProgressLabel which) const {
    return labelFor(which)->text();
}

void ProgressDialog::setStopVisible(bool visible) {
    stop_->setVisible(visible);
}

void ProgressDialog::setProgressFraction(double fraction) {
    const double clamped = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
    bar_->setValue(static_cast<int>(clamped * bar_->maximum() + 0.5));
    bar_->show();
}

void ProgressDialog::setTimeLeft(std::optional<std::chrono::seconds> left) {
    timeLeft_->setText(left ? timeLeftText(*left) : QString());
    timeLeft_->setVisible(left.has_value());
}

void ProgressDialog::open() {
    centerOnScreen(this);
    show();
    raise();
}

void ProgressDialog::dismiss() {
    dismissing_ = true;
    close();
    dismissing_ = false;
}

void ProgressDialog::clearLabels() {
    for (auto which : {ProgressLabel::OnProccess, ProgressLabel::DetailStatus,
                       ProgressLabel::DetailProc, ProgressLabel::DetailProcSub})
        labelFor(which)->clear();
    bar_->reset();
    bar_->hide();
    setTimeLeft(std::nullopt);
}

// Closing unloads the window: whatever is written next starts on a blank, hidden
// window. Only the run's end and 中止 close it; a close from the window manager
// (a close box it draws anyway, Alt+F4) is refused, and is no Stop either.
void ProgressDialog::closeEvent(QCloseEvent* event) {
    if (!dismissing_) {
        event->ignore();
        return;
    }
    clearLabels();
    stop_->setVisible(true);
    event->accept();  // QDialog's own handler would route through reject()
}

// Escape neither hides the window nor stops the run.
void ProgressDialog::reject() {}

}  // namespace mrk2::ui
