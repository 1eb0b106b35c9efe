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
#include <QThread>

#include <algorithm>
#include <utility>

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
// How long a stopped tool may take to end when asked politely, before it is killed; at quit,
// when the window waits on its own, only a short while.
constexpr int TerminateGraceMs = 2000;
constexpr int QuitGraceMs = 300;
// How long a killed tool is waited for. A tool stuck on a drive that no longer answers ends only
// when the drive does, and the window must not wait for that.
constexpr int KillWaitMs = 1000;
constexpr int StopCheckMs = 20;
// A line of the output area takes about 0.8 KB of memory besides its characters, so a run keeps
// no more lines than this many characters' worth of them.
constexpr qsizetype CharactersPerLine = 256;

} // namespace

Process::Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
                 const QStringList &arguments, QTextEdit *outputArea, bool sameAsRomPath,
                 qsizetype outputLimit)
    : m_outputArea(outputArea)
    , m_arguments(arguments)
    , m_pending(outputLimit)
    , m_outputLimit(outputLimit)
    , m_sliceBytes(FirstSliceBytes)
{
    outputArea->clear();
    m_qprocess = new QProcess;
    connect(m_qprocess, &QProcess::finished, this, &Process::toolFinished);
    m_sliceTimer = new QTimer(this);
    m_sliceTimer->setSingleShot(true);
    connect(m_sliceTimer, &QTimer::timeout, this, &Process::showNextSlice);
    connect(m_qprocess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            reportStartFailure();
    });
    // A run in the temporary directory (the preview) leaves its results in files instead; its
    // output is discarded rather than gathered unread.
    m_showsOutput = romPath != QDir::tempPath();
    if (m_showsOutput) {
        connect(m_qprocess, &QProcess::readyReadStandardOutput, this,
                &Process::updateOutputTextEdit);
        connect(m_qprocess, &QProcess::readyReadStandardError, this,
                [this] { m_errorTail.add(m_qprocess->readAllStandardError()); });
    } else {
        m_qprocess->setStandardOutputFile(QProcess::nullDevice());
        m_qprocess->setStandardErrorFile(QProcess::nullDevice());
    }
    m_stopTimer = new QTimer(this);
    m_stopTimer->setInterval(StopCheckMs);
    connect(m_stopTimer, &QTimer::timeout, this, &Process::watchStoppedTool);
    m_group.prepare(*m_qprocess);
    startTool(toolPath(goodExeDir, toolFile, romPath, sameAsRomPath), romPath);
    m_group.started(*m_qprocess);
}

Process::~Process()
{
    // A tool still running when its owner goes is ended, not left behind.
    m_qprocess->disconnect(this);
    if (!m_runEnded && !m_toolEnded) {
        m_group.terminate();
        if (!waitUntilToolGone(QuitGraceMs)) {
            m_group.kill();
            waitUntilToolGone(KillWaitMs);
        }
    }
    // Deleting a QProcess waits for its tool, so one that the kill has not ended yet takes its
    // QProcess along.
    if (m_qprocess->state() == QProcess::NotRunning)
        delete m_qprocess;
    else
        connect(m_qprocess, &QProcess::finished, m_qprocess, &QObject::deleteLater);
}

void Process::startTool(const QString &program, const QString &workingDirectory)
{
    // Only the child runs there: the program's own current directory never changes, so that no
    // path a window resolves depends on where the last tool ran. When the ROM directory is gone
    // the tool does not start, rather than run elsewhere and rename another collection's files.
    m_qprocess->setWorkingDirectory(workingDirectory);
    const ToolCommand command = toolCommand(program, m_arguments);
    m_decoder = ToolOutputDecoder(command.throughWine() ? ToolOutputDecoder::Encoding::Windows1252
                                                        : ToolOutputDecoder::Encoding::Local);
    m_startedTool = program;
    m_startedProgram = command.program;
    m_qprocess->start(command.program, command.arguments, QIODevice::ReadWrite);
    // Tessary never writes to a tool; a tool that waits for ENTER reads end-of-file and ends.
    m_qprocess->closeWriteChannel();
}

void Process::reportStartFailure()
{
    m_runEnded = true; // no finished(): the failure report ends the run
    const QString tool = QDir::toNativeSeparators(m_startedTool);
    const QString directory = m_qprocess->workingDirectory();
    const QString reason =
        QFileInfo(directory).isDir()
            ? m_qprocess->errorString()
            : tr("The ROM directory %1 does not exist.").arg(QDir::toNativeSeparators(directory));
    const QString message =
        m_startedProgram == m_startedTool
            ? tr("Can not start %1\n%2").arg(tool, reason)
            : tr("Can not start %1 through %2\n%3").arg(tool, m_startedProgram, reason);
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
    if (m_runEnded || m_stopping)
        return;
    m_stopping = true;
    m_qprocess->disconnect(this); // nothing of the tool is shown any more
    m_sliceTimer->stop();
    m_pending.clear();
    if (m_toolEnded)
        return endRun(); // only its output was still coming
    m_group.terminate();
    m_sinceStop.start();
    m_stopTimer->start();
}

// Watches a stopped tool end, without holding up the window: the kill follows after a grace, and
// a tool that not even the kill ends (one stuck on a drive that no longer answers) is given up
// on, with a note.
void Process::watchStoppedTool()
{
    if (toolGone()) {
        endRun();
    } else if (!m_groupKilled && m_sinceStop.hasExpired(TerminateGraceMs)) {
        m_groupKilled = true;
        m_group.kill();
    } else if (m_sinceStop.hasExpired(TerminateGraceMs + KillWaitMs)) {
        m_endNote =
            tr("%1 could not be ended. It may still be working in %2.")
                .arg(QFileInfo(m_startedTool).fileName(),
                     QDir::toNativeSeparators(QDir::cleanPath(m_qprocess->workingDirectory())));
        endRun();
    }
}

bool Process::toolGone()
{
    return m_qprocess->state() == QProcess::NotRunning && m_group.isGone();
}

// For the destructor, which has no event loop to wait in.
bool Process::waitUntilToolGone(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!toolGone()) {
        if (clock.hasExpired(ms))
            return false;
        // Lets QProcess see its tool end; returns at once when it already has.
        if (!m_qprocess->waitForFinished(10))
            QThread::msleep(10);
    }
    return true;
}

// Takes each read of the pipe as it comes: the zero byte rule applies to one read.
void Process::updateOutputTextEdit()
{
    m_pending.addRead(m_qprocess->readAllStandardOutput());
    if (!m_sliceTimer->isActive())
        m_sliceTimer->start(CoalesceMs);
}

void Process::toolFinished()
{
    m_toolEnded = true;
    if (m_qprocess->exitStatus() == QProcess::CrashExit || m_qprocess->exitCode() != 0)
        m_endNote = failureNote();
    // QProcess has read the pipe to its end by now; what is left is shown before the run ends.
    if (m_pending.size() > 0)
        m_sliceTimer->start(0);
    else
        endRun();
}

// How the tool ended when it ended on its own and failed, and the last it wrote to standard error.
QString Process::failureNote()
{
    const QString tool = QFileInfo(m_startedTool).fileName();
    const QString ending =
        m_qprocess->exitStatus() == QProcess::CrashExit
            ? tr("%1 crashed.").arg(tool)
            : tr("%1 ended with exit code %2.").arg(tool).arg(m_qprocess->exitCode());
    ToolOutputDecoder errorDecoder(m_decoder.encoding());
    const QString errors = errorDecoder.decode(m_errorTail.lines()) + errorDecoder.flush();
    return errors.isEmpty() ? ending : ending + u'\n' + errors;
}

void Process::showEndNote()
{
    if (m_endNote.isEmpty())
        return;
    const QTextDocument *document = m_outputArea->document();
    const bool atLineStart =
        document->isEmpty() ||
        document->characterAt(document->characterCount() - 2) == QChar::ParagraphSeparator;
    append(atLineStart ? std::exchange(m_endNote, {}) : u'\n' + std::exchange(m_endNote, {}));
}

void Process::showNextSlice()
{
    if (m_runEnded)
        return;
    QElapsedTimer clock;
    clock.start();
    if (m_pending.takeDropped()) {
        // What is on show came before the output that was dropped.
        dropShownBefore(m_outputArea->document()->characterCount() - 1);
        m_decoder.reset();
    }
    if (m_pending.takeCut() && m_droppedNoteLength == 0)
        showNote(tr("Some output dropped: the tool wrote a zero byte."), false);
    const QByteArray piece = m_pending.take(m_sliceBytes);
    append(m_decoder.decode(piece));
    adaptSliceSize(piece.size(), clock.nsecsElapsed());

    if (m_pending.size() > 0)
        m_sliceTimer->start(0); // the rest after the window has had its turn
    else if (m_toolEnded)
        endRun();
}

// Sizes the next slice from how fast the slices went so far, so that one takes about the budget
// on any machine. The rate is averaged, since a single slice may have been held up by others.
void Process::adaptSliceSize(qsizetype bytes, qint64 nanoseconds)
{
    if (bytes < m_sliceBytes)
        return; // a short read says little about the rate
    const double rate = double(bytes) / std::max<qint64>(nanoseconds, 1);
    m_bytesPerNs = m_bytesPerNs > 0 ? 0.75 * m_bytesPerNs + 0.25 * rate : rate;
    m_sliceBytes = std::clamp(std::min(qint64(m_bytesPerNs * SliceBudgetNs), 2 * m_sliceBytes),
                              MinSliceBytes, MaxSliceBytes);
}

void Process::append(const QString &text)
{
    if (text.isEmpty())
        return;
    // Appending at the end keeps a long run linear; setting the whole text for every piece
    // would copy and lay out the text again each time.
    QTextCursor end(m_outputArea->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    keepWithinLimit();
}

// Keeps no more than the last `m_outputLimit` characters on show, from the start of a line where
// there is one, and of those no more lines than their share of the limit. A trim lays out all
// that stays again, which takes a while, so each takes off half the limit at once.
void Process::keepWithinLimit()
{
    const QTextDocument *document = m_outputArea->document();
    const int end = document->characterCount() - 1; // without the closing paragraph separator
    // The line in progress is the last block; the note, once shown, the first.
    const int noteBlocks = m_droppedNoteLength > 0 ? 1 : 0;
    const int maxLines = int(m_outputLimit / CharactersPerLine);
    if (end - m_droppedNoteLength <= m_outputLimit &&
        document->blockCount() - 1 - noteBlocks <= maxLines)
        return;
    int keepFrom = std::max(end - int(m_outputLimit / 2), m_droppedNoteLength);
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
    const QString size = QLocale().formattedDataSize(m_outputLimit, 0, QLocale::DataSizeIecFormat);
    position += showNote(tr("Earlier output dropped: only the last %1 are kept.").arg(size), true);
    QTextCursor cursor(m_outputArea->document());
    cursor.setPosition(m_droppedNoteLength);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

// Puts `note` on the line above the output, in place of one there; returns by how much the output
// has moved. The note on the limit stays once shown: it says more.
int Process::showNote(const QString &note, bool aboutLimit)
{
    if (m_limitNoteShown)
        return 0;
    m_limitNoteShown = aboutLimit;
    QTextCursor cursor(m_outputArea->document());
    cursor.setPosition(m_droppedNoteLength, QTextCursor::KeepAnchor);
    cursor.insertText(note + u'\n');
    const int moved = int(note.size()) + 1 - m_droppedNoteLength;
    m_droppedNoteLength = int(note.size()) + 1;
    return moved;
}

void Process::endRun()
{
    if (m_runEnded)
        return;
    m_runEnded = true;
    m_sliceTimer->stop();
    m_stopTimer->stop();
    append(m_decoder.flush());
    emit finished(m_qprocess->exitCode());
    deleteLater();
}
