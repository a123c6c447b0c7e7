// Times one register run of the desktop tool driven through its windows, with
// the real event loop on Qt's offscreen platform: the main window's 登録 opens
// the CSV selection window, every file of the directory is chosen, and its 登録
// runs the import. Prints the seconds of that run; bench_gui_run.sh compares it
// with mrk2cli's run of the same files.
//
// Usage: bench_gui_run INI CSVDIR REGION
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ui/CsvSelectionWindow.h"
#include "ui/GuiPerson.h"
#include "ui/MainWindow.h"
#include "ui/Prompter.h"
#include "ui/Session.h"

namespace {

// Agrees to every question and keeps the messages, so the run is never held up
// by a box waiting for a click.
class BenchPrompter : public mrk2::ui::Prompter {
  public:
    void message(QWidget*, const QString&, const QString& text, mrk2::Icon) override {
        messages += text + QLatin1Char('\n');
    }
    mrk2::Answer ask(QWidget* parent, const QString& caption, const QString& text,
                     mrk2::ui::QuestionButtons) override {
        message(parent, caption, text, mrk2::Icon::None);
        return mrk2::Answer::Yes;
    }
    QString messages;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_gui_run INI CSVDIR REGION\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    BenchPrompter prompter;
    mrk2::ui::Session session;
    session.settings.iniPath = argv[1];
    mrk2::ui::GuiPerson person(session, prompter);
    mrk2::ui::MainWindow window(session, person);

    double seconds = -1;
    window.runModal = [&](QDialog& dialog) {
        auto* csv = qobject_cast<mrk2::ui::CsvSelectionWindow*>(&dialog);
        if (!csv)
            return 0;
        dialog.show();
        csv->browse(QString::fromLocal8Bit(argv[2]));
        csv->findChild<QPushButton*>(QStringLiteral("cmdSelectAll"))->click();
        auto start = std::chrono::steady_clock::now();
        csv->findChild<QPushButton*>(QStringLiteral("cmdSelect"))->click();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return 0;
    };
    window.formLoad();
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("cmbPrefDB"))
        ->setEditText(QString::fromLocal8Bit(argv[3]));
    window.findChild<QPushButton*>(QStringLiteral("cmdSelect"))->click();

    if (seconds < 0 || !prompter.messages.contains(QStringLiteral("処理を完了しました。"))) {
        std::fprintf(stderr, "the run did not complete:\n%s", qPrintable(prompter.messages));
        return 1;
    }
    std::printf("%.2f\n", seconds);
    return 0;
}
