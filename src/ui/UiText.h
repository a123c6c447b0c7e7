#pragma once
#include <QString>
#include <string>

namespace mrk2::ui {

// Every message box of the tool carries this caption.
inline const QString kAppTitle = QStringLiteral("MRKメンテナンスツール");
// The forced-close question has always carried the short program name instead.
inline const QString kForceCloseCaption = QStringLiteral("Mrk2Tool");

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string str(const QString& s) {
    return s.toStdString();
}

// A count written in full-width digits, as the notices of the tool show them.
QString fullWidthNumber(long long n);

}  // namespace mrk2::ui
