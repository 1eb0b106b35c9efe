#include "runner/process.h"

#include "runner/toolcommand.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace {

// Pieces that arrive within this time of each other are shown together: every append lays out
// the text area again, so a trickle of small pieces costs more than one larger one.
constexpr int CoalesceMs = 20;
// The work one slice may take before the window gets its turn: repaints, the busy indicator,
// a click on Stop.
constexpr qint64 SliceBudgetNs = 12'000'000;
constexpr qint64 FirstSliceBytes = 16 * 1024;
constexpr qint64 MinSliceBytes = 4 * 1024;
constexpr qint64 MaxSliceBytes = 4 * 1024 * 1024;

} // namespace

Process::Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
                 QStringList *arguments, QTextEdit *outputArea, bool sameAsRomPath)
    : outputArea(outputArea)
    , arguments(arguments)
    , sliceBytes(FirstSliceBytes)
{
    outputArea->clear();
    qprocess = new QProcess;
    connect(qprocess, &QProcess::finished, this, &Process::toolFinished);
    sliceTimer = new QTimer(this);
    sliceTimer->setSingleShot(true);
    connect(sliceTimer, &QTimer::timeout, this, &Process::showNextSlice);
    connect(qprocess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            reportStartFailure();
    });
    // A run in the temporary directory (the preview) leaves its results in files instead.
    showsOutput = romPath != QDir::tempPath();
    if (showsOutput)
        connect(qprocess, &QProcess::readyReadStandardOutput, this, &Process::updateOutputTextEdit);
    startTool(toolPath(goodExeDir, toolFile, romPath, sameAsRomPath), romPath);
}

Process::~Process()
{
    // A tool still running when its owner goes is killed and waited for, not left behind.
    qprocess->disconnect(this);
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
    decoder = ToolOutputDecoder(command.throughWine() ? ToolOutputDecoder::Encoding::Windows1252
                                                      : ToolOutputDecoder::Encoding::Local);
    startedTool = program;
    startedProgram = command.program;
    qprocess->start(command.program, command.arguments, QIODevice::ReadWrite);
    // Tessary never writes to a tool; a tool that waits for ENTER reads end-of-file and ends.
    qprocess->closeWriteChannel();
}

void Process::reportStartFailure()
{
    runEnded = true; // no finished(): the failure report ends the run
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

void Process::stop()
{
    if (runEnded)
        return;
    stopping = true;
    if (qprocess->isOpen())
        qprocess->close(); // kills the tool and waits for it
    endRun();
}

void Process::updateOutputTextEdit()
{
    if (!sliceTimer->isActive())
        sliceTimer->start(CoalesceMs);
}

void Process::toolFinished()
{
    toolEnded = true;
    if (stopping)
        return; // stop() ends the run once the tool is gone
    // QProcess has read the pipe to its end by now; what is left is shown before the run ends.
    if (showsOutput && qprocess->bytesAvailable() > 0)
        sliceTimer->start(0);
    else
        endRun();
}

void Process::showNextSlice()
{
    if (runEnded)
        return;
    QElapsedTimer clock;
    clock.start();
    const QByteArray piece = qprocess->read(sliceBytes);
    append(decoder.decode(piece));
    adaptSliceSize(piece.size(), clock.nsecsElapsed());

    if (qprocess->bytesAvailable() > 0)
        sliceTimer->start(0); // the rest after the window has had its turn
    else if (toolEnded)
        endRun();
}

// Sizes the next slice from how fast the slices went so far, so that one takes about the budget
// on any machine. The rate is averaged, since a single slice may have been held up by others.
void Process::adaptSliceSize(qsizetype bytes, qint64 nanoseconds)
{
    if (bytes < sliceBytes)
        return; // a short read says little about the rate
    const double rate = double(bytes) / std::max<qint64>(nanoseconds, 1);
    bytesPerNs = bytesPerNs > 0 ? 0.75 * bytesPerNs + 0.25 * rate : rate;
    sliceBytes = std::clamp(std::min(qint64(bytesPerNs * SliceBudgetNs), 2 * sliceBytes),
                            MinSliceBytes, MaxSliceBytes);
}

void Process::append(const QString &text)
{
    if (text.isEmpty())
        return;
    // Appending at the end keeps a long run linear; setting the whole text for every piece
    // would copy and lay out the text again each time.
    QTextCursor end(outputArea->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
}

void Process::endRun()
{
    if (runEnded)
        return;
    runEnded = true;
    sliceTimer->stop();
    append(decoder.flush());
    emit finished(qprocess->exitCode());
    deleteLater();
}
