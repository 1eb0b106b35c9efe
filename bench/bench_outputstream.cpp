// How much a tool run's output streaming costs over the floor of appending the same pieces to a
// text area. For each N the tool prints N lines; the run through Process (start, stream, finish)
// is timed, and then the same pieces, as read by a plain QProcess, are appended to an identical
// text area with nothing else going on.
//
// Each figure is the median of three runs.
//
//   bench_outputstream [N ...]      (default 50000 100000 200000)
#include "runner/process.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr long LineLength = 60; // what emitlines prints per line, line end included

QString emitterDir()
{
    return QCoreApplication::applicationDirPath() + u'/';
}

// Set up like the main window's output area.
std::unique_ptr<QTextEdit> outputArea()
{
    auto area = std::make_unique<QTextEdit>();
    area->setReadOnly(true);
    area->setUndoRedoEnabled(false);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->resize(500, 400);
    area->show();
    return area;
}

qint64 timeProcessRun(long lines, qsizetype *characters)
{
    auto area = outputArea();
    QStringList arguments{QString::number(lines)};
    QElapsedTimer clock;
    clock.start();
    auto *process = new Process(emitterDir(), QStringLiteral("emitlines"), emitterDir(), &arguments,
                                area.get(), false);
    QEventLoop loop;
    QObject::connect(process, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 elapsed = clock.elapsed();
    *characters = area->toPlainText().size();
    return elapsed;
}

QList<QByteArray> readPieces(long lines)
{
    QList<QByteArray> pieces;
    QProcess tool;
    QObject::connect(&tool, &QProcess::readyReadStandardOutput,
                     [&] { pieces.append(tool.readAllStandardOutput()); });
    QEventLoop loop;
    QObject::connect(&tool, &QProcess::finished, &loop, &QEventLoop::quit);
    tool.start(emitterDir() + QStringLiteral("emitlines"), {QString::number(lines)});
    loop.exec();
    pieces.append(tool.readAllStandardOutput());
    return pieces;
}

qint64 timeBareAppends(const QList<QByteArray> &pieces)
{
    auto area = outputArea();
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &piece : pieces) {
        QTextCursor end(area->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QString::fromLocal8Bit(piece));
        QCoreApplication::processEvents(); // each piece arrives through the event loop as well
    }
    return clock.elapsed();
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<long> counts;
    for (int i = 1; i < argc; ++i)
        counts.append(std::atol(argv[i]));
    if (counts.isEmpty())
        counts = {50000, 100000, 200000};

    std::printf("%9s %12s %10s %8s %8s\n", "lines", "Process ms", "floor ms", "ratio", "pieces");
    QMap<long, qint64> processTimes;
    for (long lines : counts) {
        qsizetype characters = 0;
        QList<qint64> processRuns;
        QList<qint64> floorRuns;
        QList<QByteArray> pieces;
        for (int run = 0; run < 3; ++run) {
            processRuns.append(timeProcessRun(lines, &characters));
            pieces = readPieces(lines);
            floorRuns.append(timeBareAppends(pieces));
        }
        const qint64 process = median(processRuns);
        const qint64 floor = median(floorRuns);
        processTimes.insert(lines, process);
        std::printf("%9ld %12lld %10lld %8.2f %8lld\n", lines, static_cast<long long>(process),
                    static_cast<long long>(floor), floor > 0 ? double(process) / floor : 0.0,
                    static_cast<long long>(pieces.size()));
        if (characters != lines * LineLength)
            std::printf("  warning: the output area holds %lld characters, expected %ld\n",
                        static_cast<long long>(characters), lines * LineLength);
    }
    if (processTimes.contains(100000) && processTimes.contains(200000) && processTimes[100000] > 0)
        std::printf("200k / 100k through Process: %.2f\n",
                    double(processTimes[200000]) / processTimes[100000]);
    return 0;
}
