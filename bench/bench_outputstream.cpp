// What a tool run's output streaming costs, and how the window fares meanwhile. For each N the
// tool prints N lines as fast as it can.
//
//  - total: the run through Process (start, stream, finish), against the floor of appending the
//    same pieces, as read by a plain QProcess, to an identical text area with nothing else going
//    on; also in processor time, which other programs on the machine do not inflate;
//  - stall and p99: the longest gap and the 99th percentile of the gaps between the ticks of a
//    5 ms timer during the run through Process, which is how long the window could not repaint
//    or take a click;
//  - Stop: the main window (1000 by 700) runs the tool from its panel; once a quarter of the
//    lines are on show, a click on Stop is posted, and the time until Go is back is taken.
//
// Each figure is the median of three runs.
//
//   bench_outputstream [N ...]      (default 50000 100000 200000)
#include "app/mainwindow.h"
#include "benchsupport.h"
#include "runner/process.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

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

// The gaps between the ticks of a 5 ms timer, while it lives.
class TickGaps
{
public:
    TickGaps()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_gaps.append(m_clock.restart()); });
        m_clock.start();
        m_timer.start();
    }

    qint64 longest() const
    {
        return m_gaps.isEmpty() ? 0 : *std::max_element(m_gaps.begin(), m_gaps.end());
    }

    qint64 percentile99() const
    {
        if (m_gaps.isEmpty())
            return 0;
        QList<qint64> sorted = m_gaps;
        std::sort(sorted.begin(), sorted.end());
        return sorted.at(std::min<qsizetype>(sorted.size() - 1, sorted.size() * 99 / 100));
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    QList<qint64> m_gaps;
};

// Milliseconds of processor time this process has used: unlike the wall clock, it does not grow
// when other programs share the processor.
qint64 cpuMs()
{
    return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

struct ProcessRun
{
    qint64 total = 0;
    qint64 cpu = 0;
    qint64 stall = 0;
    qint64 p99 = 0;
    qsizetype characters = 0;
};

ProcessRun timeProcessRun(long lines)
{
    auto area = outputArea();
    const QStringList arguments{QString::number(lines)};
    ProcessRun run;
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuStart = cpuMs();
    TickGaps ticks;
    auto *process = new Process(emitterDir(), QStringLiteral("emitlines"), emitterDir(), arguments,
                                area.get(), false);
    QEventLoop loop;
    QObject::connect(process, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    run.total = clock.elapsed();
    run.cpu = cpuMs() - cpuStart;
    run.stall = ticks.longest();
    run.p99 = ticks.percentile99();
    run.characters = area->toPlainText().size();
    return run;
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

qint64 timeBareAppends(const QList<QByteArray> &pieces, qint64 *cpu)
{
    auto area = outputArea();
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuStart = cpuMs();
    for (const QByteArray &piece : pieces) {
        QTextCursor end(area->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QString::fromLocal8Bit(piece));
        QCoreApplication::processEvents(); // each piece arrives through the event loop as well
    }
    *cpu = cpuMs() - cpuStart;
    return clock.elapsed();
}

// A Tessary.ini beside the benchmark with one system whose tool is emitlines, so the main
// window can run it from its panel. The one that was there is put back afterwards.
class BenchSettings
{
public:
    BenchSettings()
        : m_path(emitterDir() + QStringLiteral("Tessary.ini"))
    {
        QFile old(m_path);
        if (old.open(QIODevice::ReadOnly))
            m_saved = old.readAll();
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(QStringLiteral("Good*.exe Directory=%1\nSame as Rom Path=false\n"
                                      "Check Version At Startup=false\n"
                                      "Load Summary At Startup=false\n\n"
                                      "[Flood=Flood\nRom Path=%2/\nFile Name=emitlines\n\n")
                           .arg(emitterDir(), m_romDir.path())
                           .toUtf8());
    }
    ~BenchSettings()
    {
        QFile::remove(m_path);
        QFile file(m_path);
        if (!m_saved.isNull() && file.open(QIODevice::WriteOnly))
            file.write(m_saved);
    }

private:
    QString m_path;
    QByteArray m_saved;
    QTemporaryDir m_romDir;
};

void click(QWidget *button)
{
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// Milliseconds from a Stop click, made once a quarter of the lines are on show, to Go.
qint64 timeStop(long lines)
{
    MainWindow window;
    window.resize(1000, 700);
    window.show();
    auto *go = window.findChild<QPushButton *>(QStringLiteral("Go"));
    auto *text = window.findChild<QTextEdit *>(QStringLiteral("textEdit"));
    window.findChild<QAbstractButton *>(QStringLiteral("customRB"))->setChecked(true);
    window.findChild<QLineEdit *>(QStringLiteral("custom"))->setText(QString::number(lines));

    go->click();
    QElapsedTimer clock;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!clock.isValid() && text->document()->blockCount() >= lines / 4) {
            clock.start();
            click(go);
        } else if (clock.isValid() && go->text() == QLatin1String("Go")) {
            loop.quit();
        } else if (!clock.isValid() && go->text() == QLatin1String("Go")) {
            loop.quit(); // ended before a quarter was shown
        }
    });
    poll.start();
    loop.exec();
    return clock.isValid() ? clock.elapsed() : -1;
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

    BenchSettings settings;
    bench::printHeader({QStringLiteral("Lines"), QStringLiteral("Total"), QStringLiteral("Floor"),
                        QStringLiteral("Ratio"), QStringLiteral("Processor time (floor)"),
                        QStringLiteral("Longest stall"), QStringLiteral("99th percentile gap"),
                        QStringLiteral("Stop to Go")});
    QMap<long, qint64> totals;
    QMap<long, qint64> cpus;
    for (long lines : counts) {
        QList<qint64> runTimes, floorTimes, runCpus, floorCpus, stalls, p99s, stops;
        QList<QByteArray> pieces;
        qsizetype characters = 0;
        for (int run = 0; run < 3; ++run) {
            const ProcessRun timed = timeProcessRun(lines);
            runTimes.append(timed.total);
            runCpus.append(timed.cpu);
            stalls.append(timed.stall);
            p99s.append(timed.p99);
            characters = timed.characters;
            pieces = readPieces(lines);
            qint64 floorCpu = 0;
            floorTimes.append(timeBareAppends(pieces, &floorCpu));
            floorCpus.append(floorCpu);
            stops.append(timeStop(lines));
        }
        const qint64 total = bench::median(runTimes);
        const qint64 floor = bench::median(floorTimes);
        totals.insert(lines, total);
        cpus.insert(lines, bench::median(runCpus));
        const qint64 cpu = bench::median(runCpus);
        const qint64 floorCpu = bench::median(floorCpus);
        bench::printRow({QString::number(lines), bench::ms(total), bench::ms(floor),
                         bench::ratio(floor > 0 ? double(total) / floor : 0.0),
                         bench::ms(cpu) + QStringLiteral(" (") + bench::ms(floorCpu) + u')',
                         bench::ms(bench::median(stalls)), bench::ms(bench::median(p99s)),
                         bench::ms(bench::median(stops))});
        if (characters != lines * LineLength)
            std::printf("  warning: the output area holds %lld characters, expected %ld\n",
                        static_cast<long long>(characters), lines * LineLength);
    }
    if (totals.contains(100000) && totals.contains(200000) && totals[100000] > 0)
        std::printf("200k / 100k through Process: %.2f wall clock, %.2f processor time\n",
                    double(totals[200000]) / totals[100000], double(cpus[200000]) / cpus[100000]);
    return 0;
}
