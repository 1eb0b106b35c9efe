#pragma once

#include "tasks/threadedfunctions.h"

#include <QTest>

// A worker's report, received queued in the test's own thread the way the main window gets it:
// a QSignalSpy on the worker would record in the worker's thread, a data race.
struct WorkerReport
{
    int count = 0;
    QString text;
    bool deleteThreadedObject = false;
};

// Starts one task on a fresh worker and waits for its report; the worker's thread ends with it.
template<typename Start> WorkerReport runOnWorker(Start start)
{
    WorkerReport report;
    QObject receiver;
    ThreadedFunctions worker;
    QObject::connect(&worker, &ThreadedFunctions::taskCompleted, &receiver,
                     [&report](const QString &text, bool deleteThreadedObject) {
                         report = {report.count + 1, text, deleteThreadedObject};
                     });
    start(worker);
    // A missing report shows in count.
    static_cast<void>(QTest::qWaitFor([&report] { return report.count > 0; }, 30000));
    return report;
}
