#pragma once
#include <QSpinBox>

namespace mrk2::ui {

// A start-line box with its up-down buttons (1 to 9999). It still holds any text
// the configuration gave it, so that the numeric check before a run has a
// meaning: a value like "abc" from the INI stays visible until it is corrected.
class StartLineBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit StartLineBox(QWidget* parent = nullptr);

    // The text as the operator sees it, without the caption in front.
    QString lineText() const;
    void setLineText(const QString& text);
};

}  // namespace mrk2::ui
