#include "tasks/movetorootruns.h"

#include "tasks/threadedfunctions.h"

MoveToRootRuns::MoveToRootRuns(QObject *parent)
    : QObject(parent)
{
}

MoveToRootRuns::~MoveToRootRuns()
{
    // All are asked first, so that they wind down together.
    requestStop();
    delete worker;
    qDeleteAll(earlierMoveWorkers);
}

void MoveToRootRuns::start(const QString &dir)
{
    if (worker)
        earlierMoveWorkers.append(worker);
    auto *task = new ThreadedFunctions;
    worker = task;
    connect(task, &ThreadedFunctions::taskCompleted, this,
            [this, task](const QString &message, bool deleteThreadedObject) {
                if (task != worker) {
                    earlierMoveWorkers.removeOne(task);
                    delete task;
                    deleteThreadedObject = false;
                }
                emit taskCompleted(message, deleteThreadedObject);
            });
    task->renToRootInvoke(dir);
}

void MoveToRootRuns::requestStop()
{
    if (worker)
        worker->requestStop();
    for (ThreadedFunctions *move : std::as_const(earlierMoveWorkers))
        move->requestStop();
}

void MoveToRootRuns::deleteCurrent()
{
    delete worker;
    worker = nullptr;
}
