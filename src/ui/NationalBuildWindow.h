#pragma once
#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "base/Person.h"
#include "base/RunHost.h"
#include "import/BatchImport.h"
#include "import/ImportRequest.h"
#include "ui/Session.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace mrk2::ui {

class BatchRelay;

class GuiPerson;

// 「全国一括登録」: the national build in the desktop tool. The operator chooses
// a folder or files and sees at once the prefectures found, each marked 新規 or
// 既存; a 登録 that would rebuild existing regions asks first. While the build
// runs on worker threads each region's row has its own bar, state and time, and
// one 中止 stops them all; at the end the rows carry towns and rows as
// mrk2cli's end table, and the line below the table the counts and the time.
// The window's own loop and the main window stay responsive throughout.
class NationalBuildWindow : public QWidget, private RunHost, private Person {
    Q_OBJECT
  public:
    NationalBuildWindow(Session& session, GuiPerson& person, QWidget* parent = nullptr);
    ~NationalBuildWindow() override;

    // The archives, files and folders of the next build; the table lists the
    // prefectures they hold.
    void setSources(const QStringList& paths);
    // Runs the build (register-all, or update-all for Update) and returns when
    // it has ended; the GUI thread serves its events meanwhile.
    Outcome startBuild(ImportMode mode);
    // The 中止 button.
    void stopBuild();
    bool running() const { return stop_ != nullptr; }

  signals:
    // A build holds the directory's writer lock from start to end.
    void runningChanged(bool running);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Outcome run(const Work& work, bool stoppable) override;
    void message(const std::string& text, Icon icon) override;
    bool askYesNo(const std::string&) override { return false; }
    bool askOkCancel(const std::string&) override { return false; }
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }

    void buildControls();
    void onChooseFolder();
    void onChooseFiles();
    BatchRequest request(ImportMode mode) const;
    // The prefectures of the chosen sources, before any build.
    void showFound();
    // Register: OK to rebuild the regions that exist already.
    bool rebuildAllowed();
    void onPlanned(const QStringList& names, const QStringList& failedBefore);
    void onReported(int index, const mrk2::Progress& progress);
    void onEnded(int index, const QString& outcome, double seconds);
    void showTimes();
    void showEnd(const BatchOutcome& result);
    void setRunning(bool on);

    struct Row {
        std::uint64_t bytesTotal = 0;
        double share = 0;
        bool running = false, done = false;
        QElapsedTimer clock;
    };

    Session& session_;
    GuiPerson& person_;
    QStringList paths_;
    QStringList existing_;  // regions of the sources that have a database already
    QLineEdit* sourcesEdit_;
    QPushButton* folderButton_;
    QPushButton* filesButton_;
    QSpinBox* jobs_;
    QPushButton* batchRegisterButton_;
    QPushButton* updateButton_;
    QPushButton* stopButton_;
    QPushButton* closeButton_;
    QTableWidget* table_;
    QLabel* overall_;
    QPlainTextEdit* log_;
    QTimer* clockTimer_;
    BatchRelay* relay_;
    std::vector<Row> rows_;
    QElapsedTimer buildClock_;
    double runSeconds_ = 0;  // the last build's, without the questions before it
    StopControl* stop_ = nullptr;
};

}  // namespace mrk2::ui
