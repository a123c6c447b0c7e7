#include "ui/StartLineBox.h"

#include <optional>

#include <QLineEdit>

#include "base/Error.h"
#include "base/StartLine.h"

namespace mrk2::ui {

StartLineBox::StartLineBox(QWidget* parent) : QSpinBox(parent) {
    setRange(kMinStartLine, kMaxStartLine);
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

namespace {

std::optional<int> startLineOf(QString text, const QString& prefix) {
    if (text.startsWith(prefix))
        text.remove(0, prefix.size());
    // Half-typed text is refused by the rule all the time: the box lets it
    // stand, and the check before a run tells what is wrong with it.
    try {
        return parseStartLine(text.toStdString());
    } catch (const Refusal&) {
        return std::nullopt;
    }
}

}  // namespace

// Anything may be typed; the check before a run names what is wrong with it.
QValidator::State StartLineBox::validate(QString& input, int&) const {
    return startLineOf(input, prefix()) ? QValidator::Acceptable : QValidator::Intermediate;
}

int StartLineBox::valueFromText(const QString& text) const {
    return startLineOf(text, prefix()).value_or(value());
}

}  // namespace mrk2::ui
