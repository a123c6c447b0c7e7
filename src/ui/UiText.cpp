#include "ui/UiText.h"

namespace mrk2::ui {

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
