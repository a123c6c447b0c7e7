#include "ui/ProgressDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);

    onProccess_ = makeLine(this, "lblOnProccess");
    detailStatus_ = makeLine(this, "lblDetailStatus");
    detailProc_ = makeLine(this, "lblDetailProc");
    detailProcSub_ = makeLine(this, "lblDetailProcSub");
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
        close();
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

void ProgressDialog::open() {
    centerOnScreen(this);
    show();
    raise();
}

void ProgressDialog::clearLabels() {
    for (auto which : {ProgressLabel::OnProccess, ProgressLabel::DetailStatus,
                       ProgressLabel::DetailProc, ProgressLabel::DetailProcSub})
        labelFor(which)->clear();
}

// Closing unloads the window: whatever is written next starts on a blank, hidden
// window. Closing it from the title bar is therefore no Stop; the run goes on unseen.
void ProgressDialog::closeEvent(QCloseEvent* event) {
    clearLabels();
    stop_->setVisible(true);
    event->accept();  // QDialog's own handler would route through reject()
}

// Escape behaves like the title bar's close box, never like Stop.
void ProgressDialog::reject() {
    close();
}

}  // namespace mrk2::ui
