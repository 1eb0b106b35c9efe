#pragma once

#include "runner/tooloutput.h"

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

class QTextEdit;

// One run of a GoodTool: starts the tool in the system's ROM directory and streams its standard
// output into a text area. It deletes itself when the tool has finished (or could not start).
class Process : public QObject
{
    Q_OBJECT

public:
    Process(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
            QStringList *arguments, QTextEdit *outputArea, bool sameAsRomPath);
    ~Process() override;

    // The child process; its owner closes it to stop the tool early.
    QProcess *qprocess;

signals:
    // The tool could not be started. Sent through the event loop, so a creator that connects
    // right after construction still receives it; the object then deletes itself.
    void failedToStart(const QString &message);

private slots:
    void updateOutputTextEdit();

private:
    void startTool(const QString &program, const QString &workingDirectory);
    void reportStartFailure();
    void appendPendingOutput();

    QTextEdit *outputArea;
    QStringList *arguments;
    ToolOutputDecoder decoder;
    // Output read but not yet shown: pieces that arrive close together are appended at once,
    // since every append lays out the text area again.
    QString pendingOutput;
    QTimer *appendTimer;
    QString startedTool;
    QString startedProgram;
};
