#include "ui/WorkerThread.h"

#include <QEventLoop>
#include <QThread>
#include <exception>
#include <memory>

#include "base/ErrorReport.h"

namespace mrk2::ui {

Outcome runOnWorkerThread(const std::function<Outcome()>& work) {
    Outcome outcome = Outcome::stopped();
    std::unique_ptr<QThread> thread(QThread::create([&] {
        // An operation catches its own errors; anything else still must not
        // end the tool from a thread of its own.
        try {
            outcome = work();
        } catch (const std::exception& e) {
            outcome = failure(e);
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    thread->start();
    loop.exec();
    thread->wait();
    return outcome;
}

}  // namespace mrk2::ui
