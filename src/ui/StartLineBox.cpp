#include "ui/StartLineBox.h"

#include <QLineEdit>

namespace mrk2::ui {

StartLineBox::StartLineBox(QWidget* parent) : QSpinBox(parent) {
    setRange(1, 9999);
    setValue(1);
    setPrefix(QStringLiteral("開始行 "));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QString StartLineBox::lineText() const {
    QString text = lineEdit()->text();
    if (text.startsWith(prefix()))
        text.remove(0, prefix().size());
    return text;
}

void StartLineBox::setLineText(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (ok && n >= minimum() && n <= maximum() && QString::number(n) == text.trimmed()) {
        setValue(n);
        lineEdit()->setText(prefix() + QString::number(n));  // also replaces a stale raw text
    } else
        lineEdit()->setText(prefix() + text);
}

}  // namespace mrk2::ui
