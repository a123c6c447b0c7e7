#include "ui/TimeLeftText.h"

namespace mrk2::ui {

QString timeLeftText(std::chrono::seconds left) {
    const long long seconds = left.count();
    if (seconds < 60)
        return QStringLiteral("残り1分未満");
    const long long minutes = (seconds + 59) / 60;
    if (minutes < 60)
        return QStringLiteral("残り約%1分").arg(minutes);
    return QStringLiteral("残り約%1時間%2分").arg(minutes / 60).arg(minutes % 60);
}

}  // namespace mrk2::ui
