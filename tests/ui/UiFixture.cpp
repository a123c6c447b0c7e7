#include "UiFixture.h"

#include <QListWidget>
#include <fstream>

#include "base/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "data/RegionSchema.h"
#include "import/ImportRun.h"

namespace mrk2::test {

void ScriptedPrompter::message(QWidget*, const QString& caption, const QString& text, Icon icon) {
    messages.push_back({caption, text, icon});
}

Answer ScriptedPrompter::ask(QWidget*, const QString& caption, const QString& text,
                             ui::QuestionButtons buttons) {
    questions.push_back({caption, text, Icon::None});
    questionButtons.push_back(buttons);
    if (answers.empty())
        return buttons == ui::QuestionButtons::YesNo ? Answer::No : Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Shown& m : messages)
        out << m.text;
    return out;
}

UiFixture::UiFixture() : oldCurrent_(QDir::currentPath()) {
    session.settings.iniPath = dir.file("mrk2tool.ini");
    session.dbDir = dir.path();
    // As the main window leaves them after loading the default settings.
    session.posInfoStart = session.settings.posInfoStart;
    session.postalStart = session.settings.postalStart;
    createBaseDatabase(basePath);
    person.setButtonEnabledHandler([this](bool on) { buttonStates.push_back(on); });
    // Windows that start "in the current directory" start in the CSV directory.
    QDir::setCurrent(QString::fromStdString(csvDir.path()));
}

UiFixture::~UiFixture() {
    QDir::setCurrent(oldCurrent_);
}

void UiFixture::writeIni(const std::vector<std::string>& lines) {
    std::string text = "[MRK]\r\n";
    for (const std::string& l : lines)
        text += l + "\r\n";
    dir.write("mrk2tool.ini", sjis(text));
}

void UiFixture::addCatalogRow(const std::string& region) {
    Database db = Database::open(basePath);
    db.prepare("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES (?1, ?2)")
        .bind(1, region)
        .bind(2, dir.path())
        .run();
}

std::string UiFixture::makeRegionDb(const std::string& region, const std::vector<SourceFile>& files,
                                    const std::vector<std::string>& dates) {
    const std::string path = dir.file(region + ".mdb");
    createEmptyDatabase(path);
    createPositionTables(path);
    Database db = Database::open(path);
    for (std::size_t i = 0; i < files.size(); ++i)
        db.prepare("INSERT INTO POSITION管理 (fldSrcFile, fldSrcDir, fldDate) VALUES (?1, ?2, ?3)")
            .bind(1, files[i].file)
            .bind(2, files[i].dir)
            .bind(3, dates[i])
            .run();
    return path;
}

std::string UiFixture::writeCsv(const std::string& name, int rows, const std::string& where) {
    std::string text;
    for (int i = 1; i <= rows; ++i)
        text +=
            "東京都,千代田区,千代田," + std::to_string(i) + ",9,-1000.5,2000.5,35.1,139.2,,1,0\r\n";
    const std::string folder = where.empty() ? csvDir.path() : where;
    const std::string path = joinPath(folder, name);
    std::ofstream(path, std::ios::binary) << sjis(text);
    setModifiedTime(path, 1600000000);
    return path;
}

QStringList itemTexts(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

}  // namespace mrk2::test
