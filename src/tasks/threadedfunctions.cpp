#include "tasks/threadedfunctions.h"

#include "runner/fixnessteps.h"

ThreadedFunctions::ThreadedFunctions(QObject *parent)
    : QObject(parent)
{
    moveToThread(&thread);
    thread.start(QThread::InheritPriority);
}

ThreadedFunctions::~ThreadedFunctions()
{
    if (thread.isRunning()) {
        thread.quit();
        thread.wait();
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

// The move back to the ROM directory arrives with its menu entry; until then the task reports
// that it did nothing, so the caller's busy indicator still ends.
void ThreadedFunctions::renToRoot(QString dir)
{
    Q_UNUSED(dir)
    emit taskCompleted(tr("Moving files from the Ren directories is not available yet."), true);
}

// The copy by list arrives with its window; until then the task reports that it did nothing.
void ThreadedFunctions::copyFromTxt(QString txtName, QString destDir, QString dir, bool checked)
{
    Q_UNUSED(txtName)
    Q_UNUSED(destDir)
    Q_UNUSED(dir)
    Q_UNUSED(checked)
    emit taskCompleted(tr("Copying files from a list is not available yet."), false);
}

void ThreadedFunctions::fixNES(QString dir, int stage)
{
    if (runFixNesStep(dir, stage))
        emit fixNESCompleted(stage + 1);
}
