#pragma once

// Shared by the benchmarks: the median of repeated runs, and the Markdown rows every benchmark
// prints, so that its figures can be pasted into bench/README.md as they stand.

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace bench {

inline qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Runs `run` `runs` times and gives the median in nanoseconds.
template<typename Run> qint64 medianNs(int runs, Run run)
{
    QList<qint64> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        times << clock.nsecsElapsed();
    }
    return median(times);
}

inline void printRow(const QStringList &cells)
{
    std::printf("| %s |\n", qPrintable(cells.join(QLatin1String(" | "))));
    std::fflush(stdout);
}

// The title row and the separator under it.
inline void printHeader(const QStringList &titles)
{
    printRow(titles);
    QStringList rule;
    for (qsizetype i = 0; i < titles.size(); ++i)
        rule << QStringLiteral("---");
    std::printf("|%s|\n", qPrintable(rule.join(u'|')));
}

inline QString ms(qint64 milliseconds)
{
    return QString::number(milliseconds) + QLatin1String(" ms");
}

inline QString ratio(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace bench
