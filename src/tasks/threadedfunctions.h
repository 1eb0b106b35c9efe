#pragma once

#include <QObject>
#include <QThread>

#include <atomic>

struct CopyFromListResult;

// Runs the long file chores away from the GUI thread. Each object owns a thread and lives in
// it; a caller creates one per task, connects its completion signal, then calls a dispatch
// slot, which queues the task into the thread and returns at once.
class ThreadedFunctions : public QObject
{
    Q_OBJECT

public:
    explicit ThreadedFunctions(QObject *parent = nullptr);
    // Asks a running task to stop, and waits for it to return before the thread and the object go.
    ~ThreadedFunctions() override;

    // Asks a running move or copy to end after the file in hand; it still reports. Safe from any
    // thread.
    void requestStop() { m_stopRequested = true; }

signals:
    void taskCompleted(QString textEditMsg, bool deleteThreadedObject);
    void fixNESCompleted(int nextStage);

public slots:
    void renToRootInvoke(QString dir);
    void copyFromTxtInvoke(QString txtName, QString destDir, QString dir, bool checked);
    void fixNESInvoke(QString dir, int stage);

private slots:
    void renToRoot(QString dir);
    void copyFromTxt(QString txtName, QString destDir, QString dir, bool checked);
    void fixNES(QString dir, int stage);

private:
    QString withFailures(const QString &firstLine, const QStringList &failed, bool moving) const;
    QString copyCounts(const CopyFromListResult &result) const;

    QThread m_thread;
    std::atomic_bool m_stopRequested{false};
};
