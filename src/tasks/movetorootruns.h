#pragma once

#include <QList>
#include <QObject>

class ThreadedFunctions;

// The window's moves of files from the Ren directories back to the ROM directory. Each move has
// a worker of its own. A move started while another still runs takes the place of the current
// one; the overtaken move keeps its worker until it reports, so no thread outlives its task and
// no report deletes a worker whose move still runs.
class MoveToRootRuns : public QObject
{
    Q_OBJECT

public:
    explicit MoveToRootRuns(QObject *parent = nullptr);
    // Waits for every move still running, each ending after the file in hand.
    ~MoveToRootRuns() override;

    // Starts moving the files below dir (ending in "/") in a new worker of its own.
    void start(const QString &dir);
    // Asks every move to end after the file in hand; each still reports.
    void requestStop();
    // Deletes the current move's worker, waiting for its task if that still runs.
    void deleteCurrent();

signals:
    // A move has ended. The flag is true for the current move, whose worker the receiver may
    // then delete; an overtaken move's worker is gone already.
    void taskCompleted(QString textEditMsg, bool deleteThreadedObject);

private:
    ThreadedFunctions *m_worker = nullptr;
    QList<ThreadedFunctions *> m_earlierMoveWorkers; // overtaken by a later move, still running
};
