#pragma once

#include "runner/tooloutputdecoder.h"
#include "runner/windowsjob.h"

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

class QTextEdit;

// One run of a GoodTool: starts the tool in the system's ROM directory and streams its standard
// output into a text area. It deletes itself when the run has ended (or the tool could not start).
//
// The output is shown in slices of bounded work, with a return to the event loop between two
// slices, so a tool that prints faster than the text area can take it never freezes the window.
// Meanwhile every read of the pipe is taken from the QProcess at once, so the tool is never held
// up. A run keeps at most `outputLimit` of its output, the end: a tool that prints without end
// never fills the memory.
class Process : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype DefaultOutputLimit = 64 * 1024 * 1024;

    Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
            QStringList *arguments, QTextEdit *outputArea, bool sameAsRomPath,
            qsizetype outputLimit = DefaultOutputLimit);
    // Kills a tool that still runs, without sending finished().
    ~Process() override;

    // Ends the run now: kills the tool if it still runs, and sends finished() at once. Output
    // that is still waiting to be shown is dropped, so that a flood cannot hold up a Stop.
    void stop();

    // Output bytes of the tool that have not been read from its pipe yet.
    qint64 bytesAvailable() const { return qprocess->bytesAvailable(); }

signals:
    // The run has ended: the tool has finished and all of its output is on show, or stop()
    // was called. The object deletes itself afterwards.
    void finished(int exitCode);
    // The tool could not be started. Sent through the event loop, so a creator that connects
    // right after construction still receives it; the object then deletes itself.
    void failedToStart(const QString &message);

private slots:
    void updateOutputTextEdit();

private:
    void startTool(const QString &program, const QString &workingDirectory);
    void reportStartFailure();
    void killTool();
    void toolFinished();
    void showNextSlice();
    void adaptSliceSize(qsizetype bytes, qint64 nanoseconds);
    void append(const QString &text);
    void keepWithinLimit();
    void dropShownBefore(int position);
    void endRun();

    QProcess *qprocess;
    QTextEdit *outputArea;
    QStringList *arguments;
    ToolOutputDecoder decoder;
    PendingToolOutput pending;
    qsizetype outputLimit;
    int droppedNoteLength = 0; // the note above the output that its start was dropped, once shown
    QTimer *sliceTimer;
    qint64 sliceBytes;
    double bytesPerNs = 0; // how fast the text area takes output, once measured
    bool showsOutput;
    bool toolEnded = false;
    bool toolKilled = false;
    bool runEnded = false;
    QString startedTool;
    QString startedProgram;
#ifdef Q_OS_WIN
    WindowsJob job; // the tool and what it starts
#endif
};
