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
    delete m_worker;
    qDeleteAll(m_earlierMoveWorkers);
}

void MoveToRootRuns::start(const QString &dir)
{
    if (m_worker)
        m_earlierMoveWorkers.append(m_worker);
    auto *task = new ThreadedFunctions;
    m_worker = task;
    connect(task, &ThreadedFunctions::taskCompleted, this,
            [this, task](const QString &message, bool deleteThreadedObject) {
                if (task != m_worker) {
                    m_earlierMoveWorkers.removeOne(task);
                    delete task;
                    deleteThreadedObject = false;
                }
                emit taskCompleted(message, deleteThreadedObject);
            });
    task->renToRootInvoke(dir);
}

void MoveToRootRuns::requestStop()
{
    if (m_worker)
        m_worker->requestStop();
    for (ThreadedFunctions *move : std::as_const(m_earlierMoveWorkers))
        move->requestStop();
}

void MoveToRootRuns::deleteCurrent()
{
    delete m_worker;
    m_worker = nullptr;
}
