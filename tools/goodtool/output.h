#pragma once

#include <QString>

#include <cstdio>

// Everything the tool says goes through here. Each line is flushed at once, since the front end
// shows the output while the run goes on.
class Output
{
public:
    // `paceMs` > 0 waits that long after each per-file line.
    explicit Output(int paceMs);

    void fileLine(const QString &text);   // one per file handled
    void reportLine(const QString &text); // an audit report line
    void message(const QString &text);    // summaries and warnings
    void error(const QString &text);      // to stderr

private:
    void print(FILE *stream, const QString &text);
    void pace() const;

    int m_paceMs;
};
