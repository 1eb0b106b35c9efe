#include "runner/toolprocessgroup.h"

#include <QProcess>

#ifndef Q_OS_WIN
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>

#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

#ifdef Q_OS_WIN

void ToolProcessGroup::prepare(QProcess &process)
{
    m_tool = &process;
    m_job.prepare(&process);
}

void ToolProcessGroup::started(const QProcess &process)
{
    m_job.adopt(&process);
}

// A console tool has no window to be asked to close: both end the job at once.
void ToolProcessGroup::terminate()
{
    kill();
}

void ToolProcessGroup::kill()
{
    m_job.terminate();
    m_tool->kill(); // where the job could not take it
}

bool ToolProcessGroup::isGone()
{
    return m_tool->state() == QProcess::NotRunning && m_job.isEmpty();
}

#else

namespace {

#ifdef Q_OS_LINUX
// Whether a process of the group still runs. A member that has ended stays one until it is
// reaped, and where nothing reaps orphans (some containers) that is never.
bool hasLiveMember(qint64 group)
{
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &process : processes) {
        QFile stat(QStringLiteral("/proc/") + process + QStringLiteral("/stat"));
        if (!process.front().isDigit() || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold anything, even ") ".
        const QByteArray line = stat.read(1024);
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z" &&
            fields[0] != "X")
            return true;
    }
    return false;
}
#endif

} // namespace

void ToolProcessGroup::prepare(QProcess &process)
{
    const pid_t tessary = ::getpid();
    // Runs in the child between fork and exec, where only async-signal-safe calls are allowed.
    // A session of its own gives the tool a group of its own, away from any terminal Tessary was
    // started from: no Ctrl+C there reaches it, and it is never stopped for using the terminal
    // from the background.
    process.setChildProcessModifier([tessary] {
        ::setsid();
#ifdef Q_OS_LINUX
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Tessary may have died before the line above, and then no signal comes.
        if (::getppid() != tessary)
            ::_exit(127);
#else
        Q_UNUSED(tessary);
#endif
    });
}

void ToolProcessGroup::started(const QProcess &process)
{
    m_leader = process.processId();
}

void ToolProcessGroup::terminate()
{
    if (m_leader > 0)
        ::kill(-pid_t(m_leader), SIGTERM);
}

void ToolProcessGroup::kill()
{
    if (m_leader > 0)
        ::kill(-pid_t(m_leader), SIGKILL);
}

bool ToolProcessGroup::isGone()
{
    if (m_leader <= 0)
        return true;
    bool gone = ::kill(-pid_t(m_leader), 0) != 0 && errno == ESRCH;
#ifdef Q_OS_LINUX
    gone = gone || !hasLiveMember(m_leader);
#endif
    if (gone)
        m_leader = 0;
    return gone;
}

#endif
