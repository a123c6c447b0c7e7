#include "screenshots/ScreenshotDemo.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <utility>

#include "base/Config.h"
#include "base/FileNames.h"
#include "base/Paths.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "data/LearningTable.h"
#include "ui/CsvSelectionWindow.h"
#include "ui/DirectoryChooser.h"
#include "ui/GuiPerson.h"
#include "ui/MainWindow.h"
#include "ui/NationalBuildWindow.h"
#include "ui/Prompter.h"
#include "ui/RegionMapCanvas.h"
#include "ui/RegionMapWindow.h"
#include "ui/UiText.h"

namespace mrk2::ui {

namespace {

// Lets the window system paint, and the file-system model fill its tree.
void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* window, const QString& dir, const char* name) {
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    const bool ok = window && window->grab().save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    return ok;
}

// Says everything on stderr and agrees to every question. A question marked for
// a picture is shown as the tool shows it, photographed, and closed unanswered.
class ConsolePrompter : public Prompter {
  public:
    explicit ConsolePrompter(QString outDir) : outDir_(std::move(outDir)) {}
    const char* photograph = nullptr;
    int failures = 0;

    void message(QWidget*, const QString& caption, const QString& text, Icon) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
    }
    Answer ask(QWidget* parent, const QString& caption, const QString& text,
               QuestionButtons buttons) override {
        message(parent, caption, text, Icon::None);
        if (!photograph)
            return Answer::Yes;
        const char* name = std::exchange(photograph, nullptr);
        QTimer::singleShot(600, [this, name] {
            QWidget* box = QApplication::activeModalWidget();
            failures += !save(box, outDir_, name);
            if (box)
                box->close();
        });
        return MessageBoxPrompter().ask(parent, caption, text, buttons);
    }

  private:
    QString outDir_;
};

// Another office's base database: regions and learning entries of its own, for
// the editor after the main window has moved there.
void makeSecondBase(const QString& dir) {
    const std::string path = str(QDir(dir).filePath(QStringLiteral("mrk2.mdb")));
    createBaseDatabase(path);
    Database db = Database::open(path);
    Statement region = db.prepare("INSERT INTO ＤＢ一覧 (fldDbName, fldDbDir) VALUES (?1, ?2)");
    for (const char* name : {"神奈川県", "埼玉県"})
        region.bind(1, name).bind(2, str(dir)).run();
    insertLearningEntry(db, {"ﾖｺﾊﾏ", "横浜市", 12, 1, kLevelCity});
    insertLearningEntry(db, {"ﾐﾅﾄﾐﾗｲ", "みなとみらい", 4, 1, kLevelTown});
    insertLearningEntry(db, {"ｵｵﾐﾔ", "さいたま市大宮区", 7, 2, kLevelCity});
}

// The editor is opened beside the main window, the main window moves to another
// directory, and the editor, active again, shows that directory's lists.
bool photographEditorAfterDirectoryChange(MainWindow& window, const QString& outDir) {
    QTemporaryDir other;
    makeSecondBase(other.path());
    window.findChild<QComboBox*>(QStringLiteral("cmbPrefDB"))->setEditText(QString());
    window.findChild<QPushButton*>(QStringLiteral("cmdDictionary"))->click();
    settle(500);
    QWidget* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("frmLearningDict"))
            editor = w;
    if (!editor)
        return false;
    window.activateWindow();
    settle(300);
    window.setDbDirText(other.path());
    editor->activateWindow();
    settle(500);
    if (QApplication::activeWindow() != editor) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(editor, &activate);
        settle(200);
    }
    return save(editor, outDir, "learning-dict-after-directory-change.png");
}

// The 全国一括登録 window with the prefectures found; mid-run, some
// prefectures done, two running with their bars, the rest waiting; and after
// 中止, what ended how.
bool photographNationalBuild(MainWindow& window, const QString& sourceDir, const QString& outDir) {
    window.findChild<QPushButton*>(QStringLiteral("cmdNationalBuild"))->click();
    auto* build = window.findChild<NationalBuildWindow*>();
    if (!build)
        return false;
    build->setSources({sourceDir});
    build->findChild<QSpinBox*>(QStringLiteral("spnJobs"))->setValue(2);
    settle(400);
    bool ok = save(build, outDir, "national-build-found.png");
    auto* table = build->findChild<QTableWidget*>(QStringLiteral("tblRegions"));
    bool taken = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (taken || table->rowCount() < 4 || !table->cellWidget(0, 2))
            return;  // still the list found, not the build's rows
        int done = 0, moving = 0;
        for (int r = 0; r < table->rowCount(); ++r) {
            done += table->item(r, 1)->text() == QStringLiteral("完了");
            const int value = static_cast<QProgressBar*>(table->cellWidget(r, 2))->value();
            moving += value > 100 && value < 900;
        }
        if (done >= 2 && moving >= 2) {
            taken = true;
            ok = save(build, outDir, "national-build.png") && ok;
            build->stopBuild();
        }
    });
    poll.start(20);
    build->startBuild(ImportMode::Register);
    poll.stop();
    if (!taken)
        std::fprintf(stderr, "the national build ended before it could be taken\n");
    settle(300);
    ok = save(build, outDir, "national-build-stopped.png") && taken && ok;
    build->close();
    return ok;
}

}  // namespace

int runScreenshotDemo(const char* dbDirArg, const char* csvDirArg, const char* outDirArg) {
    const QString dbDir = QDir(QString::fromLocal8Bit(dbDirArg)).absolutePath();
    const QString csvDir = QDir(QString::fromLocal8Bit(csvDirArg)).absolutePath();
    const QString outDir = QDir(QString::fromLocal8Bit(outDirArg)).absolutePath();
    QDir().mkpath(outDir);

    ConsolePrompter prompter(outDir);
    Session session;
    GuiPerson person(session, prompter);
    // The demo keeps its settings beside its databases, not beside the executable.
    session.settings.iniPath = str(QDir(dbDir).filePath(QStringLiteral("mrk2tool.ini")));
    saveDirectories(session.settings.iniPath, {str(dbDir), "", "", "", ","});

    int failures = 0;
    auto first = std::make_unique<MainWindow>(session, person);
    first->runModal = [&](QDialog& dialog) {
        dialog.show();
        settle(600);
        if (auto* csv = qobject_cast<CsvSelectionWindow*>(&dialog)) {
            csv->browse(csvDir);
            settle(1000);
            csv->findChild<QPushButton*>(QStringLiteral("cmdSelectAll"))->click();
            settle(200);
            failures += !save(csv, outDir, "csv-selection.png");
            // Photograph the progress window once the loading of a file shows.
            bool taken = false;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                ProgressDialog& progress = person.progressDialog();
                if (!taken && progress.isVisible() &&
                    progress.label(ProgressLabel::DetailProcSub).toInt() > 0) {
                    taken = true;
                    failures += !save(&progress, outDir, "progress.png");
                }
            });
            poll.start(5);
            csv->findChild<QPushButton*>(QStringLiteral("cmdSelect"))->click();
            poll.stop();
            if (!taken) {
                std::fprintf(stderr, "the run ended before the progress window could be taken\n");
                ++failures;
            }
            return 0;
        }
        failures += !save(&dialog, outDir, "directory-chooser.png");
        dialog.reject();
        return 0;
    };
    first->formLoad();
    first->show();
    settle(300);
    auto* region = first->findChild<QComboBox*>(QStringLiteral("cmbPrefDB"));
    region->setEditText(QStringLiteral("東京都"));
    first->findChild<QPushButton*>(QStringLiteral("cmdSelect"))->click();
    first->findChild<QPushButton*>(QStringLiteral("cmdDbDir"))->click();
    // Remembers the region just built, for the second window.
    saveDirectories(session.settings.iniPath, {session.dbDir, session.regionFileName, "", "", ","});
    first.reset();

    MainWindow window(session, person);
    window.formLoad();
    window.show();
    settle(400);
    failures += !save(&window, outDir, "main-window.png");

    // A region on its map, with an address looked up.
    auto photographMap = [&](const QString& name, const QString& address, const char* file,
                             const QString& highlighted = {}, const char* highlightFile = nullptr) {
        RegionMapWindow map(name, qs(files::regionDbPath(session.dbDir, str(name))));
        map.show();
        QElapsedTimer loading;
        loading.start();
        while (!map.isLoaded() && loading.elapsed() < 20000)
            settle(50);
        if (!address.isEmpty()) {
            map.findChild<QLineEdit*>(QStringLiteral("txtAddress"))->setText(address);
            map.findChild<QPushButton*>(QStringLiteral("cmdLookup"))->click();
        }
        settle(400);
        failures += !save(&map, outDir, file);
        // A municipality picked in the legend, over the others dimmed.
        auto* legend = map.findChild<QTreeWidget*>(QStringLiteral("lstLegend"));
        const auto rows = legend->findItems(highlighted, Qt::MatchExactly);
        if (highlightFile && !rows.isEmpty()) {
            legend->setCurrentItem(rows.front());
            map.highlightLegendRow(legend->indexOfTopLevelItem(rows.front()));
            settle(400);
            failures += !save(&map, outDir, highlightFile);
        }
        map.close();
    };
    photographMap(QStringLiteral("東京都"), QStringLiteral("千代田区丸の内一丁目12番地"),
                  "region-map.png");
    // The houses of 文京区 from the Address Base Registry, when the script has
    // registered them.
    if (fileExists(files::regionDbPath(session.dbDir, "文京区")))
        photographMap(QStringLiteral("文京区"), QStringLiteral("文京区白山一丁目1番2号"),
                      "region-map-houses.png");
    // A click near a house of 文京区, zoomed in: the nearest house marked.
    if (fileExists(files::regionDbPath(session.dbDir, "文京区"))) {
        RegionMapWindow map(QStringLiteral("文京区"),
                            qs(files::regionDbPath(session.dbDir, "文京区")));
        map.show();
        QElapsedTimer loading;
        loading.start();
        while (!map.isLoaded() && loading.elapsed() < 20000)
            settle(50);
        auto* canvas = map.findChild<RegionMapCanvas*>(QStringLiteral("mapCanvas"));
        canvas->zoomAt(canvas->toWidget(139.7523, 35.7151), 6);
        settle(200);
        const QPointF at = canvas->toWidget(139.75245, 35.71525);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, canvas->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(canvas, &e);
        }
        settle(400);
        failures += !save(&map, outDir, "region-map-click.png");
        map.close();
    }

    // The wards and some cities of Tokyo, more municipalities than colours, when
    // the script has registered them.
    if (fileExists(files::regionDbPath(session.dbDir, "東京区部")))
        photographMap(QStringLiteral("東京区部"), {}, "region-map-municipalities.png",
                      QStringLiteral("新宿区"), "region-map-highlight.png");

    // Qt's own dialogs, in Japanese: the postal file dialog and a question.
    window.runModal = [&](QDialog& dialog) {
        dialog.show();
        settle(800);
        failures += !save(&dialog, outDir, "postal-file-dialog.png");
        dialog.reject();
        return 0;
    };
    window.findChild<QPushButton*>(QStringLiteral("cmdPostalSelect"))->click();
    prompter.photograph = "question.png";
    window.findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click();
    failures += prompter.failures;

    failures += !photographNationalBuild(window, csvDir + QStringLiteral("/national"), outDir);
    failures += !photographEditorAfterDirectoryChange(window, outDir);
    window.close();
    return failures == 0 ? 0 : 1;
}

}  // namespace mrk2::ui
