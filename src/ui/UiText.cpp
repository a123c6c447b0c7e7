#include "ui/UiText.h"

#include <cmath>

namespace mrk2::ui {

bool isNumericText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double value = t.toDouble(&ok);
    // Qt reads "inf" and "nan" as numbers; a start line never is one.
    return ok && std::isfinite(value);
}

QString fullWidthNumber(long long n) {
    QString out;
    for (QChar c : QString::number(n)) {
        if (c.isDigit())
            out += QChar(0xFF10 + (c.unicode() - u'0'));
        else if (c == u'-')
            out += QChar(0xFF0D);
        else
            out += c;
    }
    return out;
}

}  // namespace mrk2::ui
