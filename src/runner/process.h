#pragma once

#include "runner/tooloutputdecoder.h"
#include "runner/toolprocessgroup.h"

#include <QElapsedTimer>
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
//
// The tool runs with everything it starts in a group of its own (see ToolProcessGroup), and a
// stopped run ends only once all of that has gone.
class Process : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype DefaultOutputLimit = 64 * 1024 * 1024;

    Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
            const QStringList &arguments, QTextEdit *outputArea, bool sameAsRomPath,
            qsizetype outputLimit = DefaultOutputLimit);
    // Ends a tool that still runs, with all it started, without sending finished(). This waits
    // a moment at most: there may be no event loop left to wait in.
    ~Process() override;

    // Ends the run: asks the tool and all it started to end, kills them after a short grace,
    // and sends finished() once they have gone, or once it is clear that they cannot be ended.
    // Output that is still waiting to be shown is dropped, so that a flood cannot hold up a Stop.
    void stop();

    // Shows below the output how the run went wrong, if it did: a tool that failed or crashed,
    // with the last lines of its standard error, or one that could not be ended. For the owner
    // to call once finished() has come and it is done with the tool's own output.
    void showEndNote();

    // Output bytes of the tool that have not been read from its pipe yet.
    qint64 bytesAvailable() const { return m_qprocess->bytesAvailable(); }

signals:
    // The run has ended: the tool has finished and all of its output is on show, or stop() has
    // ended the tool. The object deletes itself afterwards.
    void finished(int exitCode);
    // The tool could not be started. Sent through the event loop, so a creator that connects
    // right after construction still receives it; the object then deletes itself.
    void failedToStart(const QString &message);

private slots:
    void updateOutputTextEdit();

private:
    void startTool(const QString &program, const QString &workingDirectory);
    void reportStartFailure();
    void watchStoppedTool();
    bool toolGone();
    bool waitUntilToolGone(int ms);
    void toolFinished();
    QString failureNote();
    void showNextSlice();
    void adaptSliceSize(qsizetype bytes, qint64 nanoseconds);
    void append(const QString &text);
    void keepWithinLimit();
    void dropShownBefore(int position);
    int showNote(const QString &note, bool aboutLimit);
    void endRun();

    QProcess *m_qprocess;
    QTextEdit *m_outputArea;
    const QStringList m_arguments;
    ToolOutputDecoder m_decoder;
    PendingToolOutput m_pending;
    ToolErrorTail m_errorTail;
    ToolProcessGroup m_group;
    qsizetype m_outputLimit;
    int m_droppedNoteLength = 0; // the note above the output that some of it was dropped, if shown
    bool m_limitNoteShown = false;
    QTimer *m_sliceTimer;
    qint64 m_sliceBytes;
    double m_bytesPerNs = 0; // how fast the text area takes output, once measured
    bool m_showsOutput;
    bool m_toolEnded = false;
    bool m_stopping = false;
    bool m_groupKilled = false;
    bool m_runEnded = false;
    QTimer *m_stopTimer;
    QElapsedTimer m_sinceStop;
    QString m_endNote;
    QString m_startedTool;
    QString m_startedProgram;
};
