#pragma once

#include "tasks/threadedfunctions.h"

#include <QList>
#include <QObject>
#include <QString>

// A worker's reports, received queued in the test's own thread the way the main window gets
// them (a QSignalSpy on the worker would record in the worker's thread).
struct WorkerReports : QObject
{
    struct Report
    {
        QString text;
        bool deleteThreadedObject;
    };

    explicit WorkerReports(ThreadedFunctions *worker)
    {
        connect(worker, &ThreadedFunctions::taskCompleted, this,
                [this](const QString &text, bool flag) {
                    reports.append({text, flag});
                });
    }

    QList<Report> reports;
};
