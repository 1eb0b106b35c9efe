#include "tasks/threadedfunctions.h"

#include "tasks/copyfromlist.h"
#include "tasks/fixnessteps.h"
#include "tasks/rentoroot.h"

ThreadedFunctions::ThreadedFunctions(QObject *parent)
    : QObject(parent)
{
    moveToThread(&m_thread);
    m_thread.start(QThread::InheritPriority);
}

ThreadedFunctions::~ThreadedFunctions()
{
    // A chore still running ends after the file in hand, so its owner waits for that file only.
    requestStop();
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
}

void ThreadedFunctions::renToRootInvoke(QString dir)
{
    QMetaObject::invokeMethod(this, "renToRoot", Qt::AutoConnection, Q_ARG(QString, dir));
}

void ThreadedFunctions::copyFromTxtInvoke(QString txtName, QString destDir, QString dir,
                                          bool checked)
{
    QMetaObject::invokeMethod(this, "copyFromTxt", Qt::AutoConnection, Q_ARG(QString, txtName),
                              Q_ARG(QString, destDir), Q_ARG(QString, dir), Q_ARG(bool, checked));
}

void ThreadedFunctions::fixNESInvoke(QString dir, int stage)
{
    QMetaObject::invokeMethod(this, "fixNES", Qt::AutoConnection, Q_ARG(QString, dir),
                              Q_ARG(int, stage));
}

void ThreadedFunctions::renToRoot(QString dir)
{
    const MoveToRootResult result = moveFilesToRoot(dir, &m_stopRequested);
    if (result.folderMissing) {
        emit taskCompleted(
            withFailures(tr("Ren To Root FAILED\nThe ROM folder is missing: %1").arg(dir),
                         result.failed, true),
            true);
        return;
    }
    // Files in a folder that could not be read are still where they were: not a completion.
    const QStringList &unread = result.unreadFolders;
    QString report = result.stopped     ? tr("Ren To Root Stopped")
                     : unread.isEmpty() ? tr("Ren To Root Completed")
                                        : tr("Ren To Root FAILED");
    if (!unread.isEmpty())
        report += u'\n' +
                  (unread.size() == 1 ? tr("1 folder could not be read:")
                                      : tr("%1 folders could not be read:").arg(unread.size())) +
                  u'\n' + unread.join(u'\n');
    emit taskCompleted(withFailures(report, result.failed, true), true);
}

void ThreadedFunctions::copyFromTxt(QString txtName, QString destDir, QString dir, bool checked)
{
    const CopyFromListResult result =
        copyFilesFromList(txtName, destDir, dir, checked, &m_stopRequested);
    if (!result.listRead) {
        emit taskCompleted(
            tr("Copy Files From *.txt to File Destination FAILED\nUnable to open%1").arg(txtName),
            false);
        return;
    }
    const QString firstLine = result.stopped
                                  ? tr("Copy Files From *.txt to File Destination Stopped")
                                  : tr("Copy Files From *.txt to File Destination Completed");
    emit taskCompleted(withFailures(firstLine, result.failed, false) + copyCounts(result), false);
}

// The lines that matched nothing (the first few), then what became of the files found.
QString ThreadedFunctions::copyCounts(const CopyFromListResult &result) const
{
    constexpr qsizetype ShownLines = 20;
    const QStringList &notFound = result.notFound;
    QString text;
    if (!notFound.isEmpty()) {
        text += u'\n' +
                (notFound.size() == 1 ? tr("1 line matched no file:")
                                      : tr("%1 lines matched no file:").arg(notFound.size())) +
                u'\n' + notFound.first(qMin(notFound.size(), ShownLines)).join(u'\n');
        if (notFound.size() > ShownLines)
            text += u'\n' + tr("and %1 more").arg(notFound.size() - ShownLines);
    }
    text += u'\n' + tr("%1 copied, %2 skipped (name taken)").arg(result.copied).arg(result.skipped);
    if (!result.stopped)
        text += tr(", %1 not found").arg(notFound.size());
    return text;
}

// A task that could not do everything says so: how many files, and where each one still is.
QString ThreadedFunctions::withFailures(const QString &firstLine, const QStringList &failed,
                                        bool moving) const
{
    if (failed.isEmpty())
        return firstLine;
    QString count;
    if (moving)
        count = failed.size() == 1 ? tr("1 file could not be moved:")
                                   : tr("%1 files could not be moved:").arg(failed.size());
    else
        count = failed.size() == 1 ? tr("1 file could not be copied:")
                                   : tr("%1 files could not be copied:").arg(failed.size());
    return firstLine + u'\n' + count + u'\n' + failed.join(u'\n');
}

void ThreadedFunctions::fixNES(QString dir, int stage)
{
    if (runFixNesStep(dir, stage))
        emit fixNESCompleted(stage + 1);
}
