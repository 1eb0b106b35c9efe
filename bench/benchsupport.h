#pragma once

// Shared by the benchmarks: the median of repeated runs, and the Markdown rows every benchmark
// prints, so that its figures can be pasted into bench/README.md as they stand.

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace bench {

// User and system time of this process so far: less swayed by a busy machine than wall time.
inline qint64 processorMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) {
        return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

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
