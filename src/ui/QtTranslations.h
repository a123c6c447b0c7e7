#pragma once

class QCoreApplication;

namespace mrk2::ui {

// Qt's own texts (standard buttons such as はい / いいえ / キャンセル, the file
// dialog's labels, context menus) in Japanese, from the Qt translations the system
// has installed (Debian: qt6-translations-l10n). False when they are missing; Qt
// then shows its English texts and the tool works on.
bool installJapaneseQtTranslations(QCoreApplication& app);

}  // namespace mrk2::ui
