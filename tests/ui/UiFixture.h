#pragma once
// A base-database directory, a CSV directory, the session and a scripted person
// for driving the windows offscreen.
#include <QApplication>
#include <QDir>
#include <QStringList>

class QListWidget;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/SourceFile.h"
#include "support/TempDir.h"
#include "ui/GuiPerson.h"
#include "ui/Prompter.h"
#include "ui/Session.h"

namespace mrk2::test {

// Records every box instead of showing it; questions take the scripted answers
// (No / Cancel when the script is empty).
class ScriptedPrompter : public ui::Prompter {
  public:
    struct Shown {
        QString caption;
        QString text;
        Icon icon = Icon::None;
    };
    void message(QWidget*, const QString& caption, const QString& text, Icon icon) override;
    Answer ask(QWidget*, const QString& caption, const QString& text,
               ui::QuestionButtons buttons) override;

    QStringList texts() const;
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<ui::QuestionButtons> questionButtons;
    std::deque<Answer> answers;
};

struct UiFixture {
    TempDir dir;     // the base-database directory
    TempDir csvDir;  // position CSV files
    std::string basePath = dir.file("mrk2.mdb");
    ui::Session session;  // its settings file is DIR/mrk2tool.ini, its directory DIR
    ScriptedPrompter prompter;
    ui::GuiPerson person{session, prompter};
    std::vector<bool> buttonStates;  // every ButtonEnabled call

    UiFixture();
    ~UiFixture();

    // mrk2tool.ini of the test, from lines "KEY=value" (written as CP932).
    void writeIni(const std::vector<std::string>& lines);
    void addCatalogRow(const std::string& region);
    // A region database at DIR/<region>.mdb recording these sources with these dates.
    std::string makeRegionDb(const std::string& region, const std::vector<SourceFile>& files,
                             const std::vector<std::string>& dates);
    // A position CSV of `rows` blocks in csvDir (or `where`), with a fixed date.
    std::string writeCsv(const std::string& name, int rows, const std::string& where = {});

  private:
    QString oldCurrent_;
};

// The child widget of that object name; fails the test when it is missing.
template <class T>
T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        throw std::runtime_error(std::string("no widget ") + name);
    return w;
}

QStringList itemTexts(QListWidget* list);

}  // namespace mrk2::test
