#pragma once

#include <QFile>
#include <QString>

// Everything the tool says goes through here. Each line is flushed at once, since the front end
// shows the output while the run goes on; with `logmsgs` every line is also appended to the log.
class Output
{
public:
    // An empty `logPath` keeps no log. `paceMs` > 0 waits that long after each per-file line.
    Output(const QString &logPath, bool quiet, int paceMs);

    void fileLine(const QString &text);   // one per file handled; `quiet` drops it
    void reportLine(const QString &text); // an audit report line; never dropped
    void message(const QString &text);    // summaries and warnings
    void error(const QString &text);      // to stderr

    // False when a log was asked for and cannot be written.
    bool logOk() const { return !m_logWanted || m_log.isOpen(); }

private:
    void print(FILE *stream, const QString &text);
    void pace() const;

    QFile m_log;
    bool m_logWanted;
    bool m_quiet;
    int m_paceMs;
};
