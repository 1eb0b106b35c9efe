#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

class QProcess;

// A Windows job object for one tool run: it holds the tool and every program the tool starts.
// terminate() ends them all at once. The job ends them too when its last handle closes: when this
// object goes, or when Tessary ends in any way, a crash included.
class WindowsJob
{
public:
    WindowsJob();
    ~WindowsJob();
    WindowsJob(const WindowsJob &) = delete;
    WindowsJob &operator=(const WindowsJob &) = delete;

    // Before the process starts: it is created suspended, so that it can start nothing before it
    // is in the job.
    void prepare(QProcess *process);
    // Right after the start: puts the process into the job, then lets it run. False when the job
    // could not take it (it runs all the same, and only a kill of the tool itself ends it).
    bool adopt(const QProcess *process);
    void terminate();
    // True once no process of the job runs any more.
    bool isEmpty() const;

private:
    void *m_job; // the job's HANDLE, null when none could be made
};

#endif
