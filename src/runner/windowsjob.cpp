#include "runner/windowsjob.h"

#ifdef Q_OS_WIN

#include <QProcess>

#include <windows.h>

#include <tlhelp32.h>

namespace {

// A process created suspended has its one thread waiting.
void resumeThreads(DWORD processId)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        if (const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
}

} // namespace

WindowsJob::WindowsJob()
    : m_job(CreateJobObjectW(nullptr, nullptr))
{
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (m_job && !SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits,
                                          sizeof limits)) {
        CloseHandle(m_job);
        m_job = nullptr;
    }
}

WindowsJob::~WindowsJob()
{
    if (m_job)
        CloseHandle(m_job); // the last handle: what is still in the job ends
}

void WindowsJob::prepare(QProcess *process)
{
    process->setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *arguments) { arguments->flags |= CREATE_SUSPENDED; });
}

bool WindowsJob::adopt(const QProcess *process)
{
    const auto processId = DWORD(process->processId());
    if (processId == 0)
        return false;
    bool adopted = false;
    if (const HANDLE handle =
            OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, processId)) {
        adopted = m_job && AssignProcessToJobObject(m_job, handle);
        CloseHandle(handle);
    }
    resumeThreads(processId);
    return adopted;
}

bool WindowsJob::isEmpty() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    return !m_job ||
           !QueryInformationJobObject(m_job, JobObjectBasicAccountingInformation, &accounting,
                                      sizeof accounting, nullptr) ||
           accounting.ActiveProcesses == 0;
}

void WindowsJob::terminate()
{
    if (m_job)
        TerminateJobObject(m_job, 1);
}

#endif
