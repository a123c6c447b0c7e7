#pragma once
#include <QSpinBox>

namespace mrk2::ui {

// A start-line box with its up-down buttons, over the range of a start line. It
// still holds any text the configuration gave it, so that the numeric check
// before a run has a meaning: a value like "abc" from the INI stays visible
// until it is corrected. What is typed is read by the one start-line rule
// (base/StartLine.h), full-width digits included.
class StartLineBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit StartLineBox(QWidget* parent = nullptr);

    // The text as the operator sees it, without the caption in front.
    QString lineText() const;
    void setLineText(const QString& text);

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace mrk2::ui
