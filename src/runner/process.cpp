#include "runner/process.h"

#include "runner/toolcommand.h"

#include <QDir>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextEdit>

Process::Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
                 QStringList *arguments, QTextEdit *outputArea, bool sameAsRomPath)
    : outputArea(outputArea)
    , arguments(arguments)
{
    outputArea->clear();
    qprocess = new QProcess;
    connect(qprocess, &QProcess::finished, this, &QObject::deleteLater);
    // Everything read is on show before the owner's own finish handling looks at it.
    connect(qprocess, &QProcess::finished, this, &Process::appendPendingOutput);
    appendTimer = new QTimer(this);
    appendTimer->setSingleShot(true);
    appendTimer->setInterval(20);
    connect(appendTimer, &QTimer::timeout, this, &Process::appendPendingOutput);
    connect(qprocess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            reportStartFailure();
    });
    // A run in the temporary directory (the preview) leaves its results in files instead.
    if (romPath != QDir::tempPath())
        connect(qprocess, &QProcess::readyReadStandardOutput, this, &Process::updateOutputTextEdit);
    startTool(toolPath(goodExeDir, toolFile, romPath, sameAsRomPath), romPath);
}

Process::~Process()
{
    // A tool still running when its owner goes is killed and waited for, not left behind.
    if (qprocess->state() != QProcess::NotRunning) {
        qprocess->kill();
        qprocess->waitForFinished();
    }
    delete qprocess;
}

void Process::startTool(const QString &program, const QString &workingDirectory)
{
    // The current directory stays changed after the run. The child's own directory is set as
    // well: when the ROM directory is gone the tool must not start, rather than run in
    // whatever directory was current before and rename another collection's files.
    QDir::setCurrent(workingDirectory);
    qprocess->setWorkingDirectory(workingDirectory);
    // Standard error is never shown; discarding it keeps a chatty tool from filling memory.
    qprocess->setStandardErrorFile(QProcess::nullDevice());
    const ToolCommand command = toolCommand(program, *arguments);
    startedTool = program;
    startedProgram = command.program;
    qprocess->start(command.program, command.arguments, QIODevice::ReadWrite);
    // Tessary never writes to a tool; a tool that waits for ENTER reads end-of-file and ends.
    qprocess->closeWriteChannel();
}

void Process::reportStartFailure()
{
    const QString tool = QDir::toNativeSeparators(startedTool);
    const QString directory = qprocess->workingDirectory();
    const QString reason =
        QFileInfo(directory).isDir()
            ? qprocess->errorString()
            : tr("The ROM directory %1 does not exist.").arg(QDir::toNativeSeparators(directory));
    const QString message =
        startedProgram == startedTool
            ? tr("Can not start %1\n%2").arg(tool, reason)
            : tr("Can not start %1 through %2\n%3").arg(tool, startedProgram, reason);
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            emit failedToStart(message);
            deleteLater();
        },
        Qt::QueuedConnection);
}

void Process::updateOutputTextEdit()
{
    pendingOutput += decoder.decode(qprocess->readAllStandardOutput());
    if (!appendTimer->isActive())
        appendTimer->start();
}

void Process::appendPendingOutput()
{
    if (pendingOutput.isEmpty())
        return;
    // Appending at the end keeps a long run linear; setting the whole text for every piece
    // would copy and lay out the text again each time.
    QTextCursor end(outputArea->document());
    end.movePosition(QTextCursor::End);
    end.insertText(pendingOutput);
    pendingOutput.clear();
}
