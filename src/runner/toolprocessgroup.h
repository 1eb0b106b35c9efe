#pragma once

#include "runner/windowsjob.h"

#include <QtGlobal>

class QProcess;

// The processes of one tool run: the tool and whatever it starts (a script's commands, the real
// tool behind a wrapper), so that ending a run ends all of them, not only the process Tessary
// started.
//
// On POSIX systems the tool leads a process group of its own, and on Linux it is also killed when
// Tessary dies, however that happens. On Windows the tool and what it starts are in a job object
// (see WindowsJob), which also ends them when Tessary dies.
class ToolProcessGroup
{
public:
    // Before the tool starts.
    void prepare(QProcess &process);
    // Once it has started.
    void started(const QProcess &process);

    // Asks every process of the group to end.
    void terminate();
    // Ends every process of the group at once.
    void kill();
    // True once no process of the group runs any more. The group is never signalled afterwards,
    // since its number may then go to another process.
    bool isGone();

private:
#ifdef Q_OS_WIN
    QProcess *m_tool = nullptr;
    WindowsJob m_job;
#else
    qint64 m_leader = 0; // the tool, whose process id is the group's
#endif
};
