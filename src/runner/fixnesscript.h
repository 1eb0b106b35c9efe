#pragma once

#include <QObject>

class ThreadedFunctions;

// Drives the NES repair script: three tool runs ("fixnes", then "rename" twice), each followed
// by a file step in a worker thread of its own. The window runs the tools; this keeps the stage
// and starts the file steps.
class FixNesScript : public QObject
{
    Q_OBJECT

public:
    explicit FixNesScript(QObject *parent = nullptr);
    // Waits for a file step that still runs.
    ~FixNesScript() override;

    // The stage whose tool run is running or has just ended: 1, 2 or 3.
    int stage() const { return m_fixNesStage; }

    // A tool run has ended. When it was the script's (convert checked on a system whose selector
    // text starts with "[NES"), the file step after it starts in romPath.
    void toolRunEnded(bool convertChecked, const QString &selectorText, const QString &romPath);
    // A file step has ended with the number of the next stage: its tool run is asked for, or
    // after the third stage the script is over and starts again at 1.
    void fileStepEnded(int nextStage);

signals:
    // A file step's report, for the window's slot that hands it back to fileStepEnded.
    void fileStepDone(int nextStage);
    // The window starts the tool run of stage() with the panel as it is.
    void runRequested();
    // What the output area says once the next run has started, or the script has ended.
    void report(const QString &text);

private:
    void startFileStep(const QString &romPath);

    ThreadedFunctions *m_fixNesWorker = nullptr; // the file step of the current stage
    int m_fixNesStage = 1;
};
