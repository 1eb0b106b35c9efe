#include "runner/process.h"

#include "runner/toolcommand.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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
// How long a killed tool is waited for. A tool stuck on a drive that no longer answers ends only
// when the drive does, and the window must not wait for that.
constexpr int KillWaitMs = 1000;
// A line of the output area takes about 0.8 KB of memory besides its characters, so a run keeps
// no more lines than this many characters' worth of them.
constexpr qsizetype CharactersPerLine = 256;

} // namespace

Process::Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
                 QStringList *arguments, QTextEdit *outputArea, bool sameAsRomPath,
                 qsizetype outputLimit)
    : outputArea(outputArea)
    , arguments(arguments)
    , pending(outputLimit)
    , outputLimit(outputLimit)
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
    // A run in the temporary directory (the preview) leaves its results in files instead; its
    // output is discarded rather than gathered unread.
    showsOutput = romPath != QDir::tempPath();
    if (showsOutput)
        connect(qprocess, &QProcess::readyReadStandardOutput, this, &Process::updateOutputTextEdit);
    else
        qprocess->setStandardOutputFile(QProcess::nullDevice());
    startTool(toolPath(goodExeDir, toolFile, romPath, sameAsRomPath), romPath);
}

Process::~Process()
{
    // A tool still running when its owner goes is killed, not left behind. Deleting a QProcess
    // waits for its tool, so one that the kill has not ended yet takes its QProcess along.
    killTool();
    if (qprocess->state() == QProcess::NotRunning)
        delete qprocess;
    else
        connect(qprocess, &QProcess::finished, qprocess, &QObject::deleteLater);
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
#ifdef Q_OS_WIN
    job.prepare(qprocess);
    qprocess->start(command.program, command.arguments, QIODevice::ReadWrite);
    job.adopt(qprocess);
#else
    qprocess->start(command.program, command.arguments, QIODevice::ReadWrite);
#endif
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
    killTool();
    endRun();
}

// Kills the tool and gives it a short while to end; nothing of it reaches this object any more.
void Process::killTool()
{
    qprocess->disconnect(this);
    if (toolKilled || qprocess->state() == QProcess::NotRunning)
        return;
    toolKilled = true;
#ifdef Q_OS_WIN
    job.terminate();
#endif
    qprocess->kill();
    qprocess->waitForFinished(KillWaitMs);
}

// Takes each read of the pipe as it comes: the zero byte rule applies to one read.
void Process::updateOutputTextEdit()
{
    pending.addRead(qprocess->readAllStandardOutput());
    if (!sliceTimer->isActive())
        sliceTimer->start(CoalesceMs);
}

void Process::toolFinished()
{
    toolEnded = true;
    // QProcess has read the pipe to its end by now; what is left is shown before the run ends.
    if (pending.size() > 0)
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
    if (pending.takeDropped()) {
        // What is on show came before the output that was dropped.
        dropShownBefore(outputArea->document()->characterCount() - 1);
        decoder.reset();
    }
    const QByteArray piece = pending.take(sliceBytes);
    append(decoder.decode(piece));
    adaptSliceSize(piece.size(), clock.nsecsElapsed());

    if (pending.size() > 0)
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
    keepWithinLimit();
}

// Keeps no more than the last `outputLimit` characters on show, from the start of a line where
// there is one, and of those no more lines than their share of the limit. A trim lays out all
// that stays again, which takes a while, so each takes off half the limit at once.
void Process::keepWithinLimit()
{
    const QTextDocument *document = outputArea->document();
    const int end = document->characterCount() - 1; // without the closing paragraph separator
    // The line in progress is the last block; the note, once shown, the first.
    const int noteBlocks = droppedNoteLength > 0 ? 1 : 0;
    const int maxLines = int(outputLimit / CharactersPerLine);
    if (end - droppedNoteLength <= outputLimit &&
        document->blockCount() - 1 - noteBlocks <= maxLines)
        return;
    int keepFrom = std::max(end - int(outputLimit / 2), droppedNoteLength);
    const QTextBlock block = document->findBlock(keepFrom);
    if (block.position() != keepFrom && block.next().isValid())
        keepFrom = block.next().position();
    const int firstKeptLine = document->blockCount() - 1 - maxLines / 2;
    if (firstKeptLine > noteBlocks)
        keepFrom = std::max(keepFrom, document->findBlockByNumber(firstKeptLine).position());
    dropShownBefore(keepFrom);
}

// Removes what is shown before `position`, under a line at the top that says so.
void Process::dropShownBefore(int position)
{
    QTextCursor cursor(outputArea->document());
    if (droppedNoteLength == 0) {
        const QString size =
            QLocale().formattedDataSize(outputLimit, 0, QLocale::DataSizeIecFormat);
        const QString note = tr("Earlier output dropped: only the last %1 are kept.").arg(size);
        cursor.insertText(note + u'\n');
        droppedNoteLength = int(note.size()) + 1;
        position += droppedNoteLength;
    }
    cursor.setPosition(droppedNoteLength);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
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
