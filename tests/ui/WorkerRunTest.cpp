// The desktop tool runs an operation on a worker thread: the GUI thread stays free.
#include <gtest/gtest.h>

#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "UiFixture.h"
#include "base/Paths.h"
#include "import/ImportRun.h"
#include "postal/PostalTable.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

struct WorkerRunTest : ::testing::Test, UiFixture {};

TEST_F(WorkerRunTest, ATimerKeepsFiringWhileARealRegisterRuns) {
    createPostTable(basePath);
    ImportRequest request;
    request.dbDir = dir.path();
    request.region = "東京都";
    request.sources = {{csvDir.path(), fileNameOf(writeCsv("13101.csv", 20000))}};

    std::atomic<int> ticks{0};
    int ticksDuringRun = 0;
    bool reportShown = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (session.running)
            ++ticksDuringRun;
        reportShown = reportShown || person.progressDialog().isVisible();
    });
    timer.start(1);

    bool offGuiThread = false;
    session.running = true;
    const Outcome outcome = person.run(
        [&](StopControl& stop, ProgressSink& sink) {
            offGuiThread = QThread::currentThread() != qApp->thread();
            // The run holds its thread until the GUI thread has shown that it
            // serves its timer: a run on the GUI thread would wait forever.
            for (int seen = ticks; ticks < seen + 3;)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return runImport(request, stop, sink);
        },
        true);
    session.running = false;
    timer.stop();

    EXPECT_TRUE(offGuiThread);
    EXPECT_EQ(outcome.kind, Outcome::Kind::Completed);
    EXPECT_GE(ticksDuringRun, 3);
    EXPECT_TRUE(reportShown) << "the worker's reports reached the progress window";
    EXPECT_FALSE(person.progressDialog().isVisible());
    EXPECT_EQ(buttonStates, (std::vector<bool>{false, true}));
    EXPECT_TRUE(fileExists(dir.file("東京都.mdb")));
}

}  // namespace
