// How long the collection summary takes for a large setup: S systems, each with a Have and a
// Miss list of L lines of ROM names. The fill reads only the first line of each list, so the
// anchor is `head -q -n 1` over the same files, one process for all of them, in the same run.
// Each figure is the median of five runs, with the files already in the page cache.
//
//   bench_summary [systems] [lines]      (default 200 20000)
#include "benchsupport.h"
#include "lists/collectionsummary.h"
#include "lists/summarytable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const char *const Regions[] = {"(U)", "(E)", "(J)", "(JU)", "(UE)", "(F)", "(G)", "(S)"};
const char *const Flags[] = {" [!]", "", " [b1]", " [h1C]", " [T+Eng1.0]", " [a1]", " [o1]"};

QByteArray listText(const QByteArray &header, int lines, int seed)
{
    QByteArray text = header + "\r\n\r\n";
    for (int i = 0; i < lines; ++i) {
        const int n = i * 7919 + seed;
        text += "Game Title Number " + QByteArray::number(n % 100000) + " - Part " +
                QByteArray::number(n % 7) + ' ' + Regions[n % 8] + Flags[n % 7] + "\r\n";
    }
    return text;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int systems = argc > 1 ? std::atoi(argv[1]) : 200;
    const int lines = argc > 2 ? std::atoi(argv[2]) : 20000;

    QTemporaryDir root;
    SystemTable table;
    QStringList items;
    QStringList listFiles;
    qint64 bytes = 0;
    for (int s = 0; s < systems; ++s) {
        const QString key = QStringLiteral("[S%1").arg(s, 3, 10, QLatin1Char('0'));
        const QString base = QStringLiteral("S%1").arg(s);
        const QString dir = root.filePath(base) + u'/';
        QDir().mkpath(dir);
        const QByteArray have = listText(" You have " + QByteArray::number(lines) + " of " +
                                             QByteArray::number(2 * lines) + " known ROMS (V3.23b)",
                                         lines, s);
        const QByteArray miss =
            listText(" You are missing " + QByteArray::number(lines) + " of " +
                         QByteArray::number(2 * lines - s) + " known ROMS (V3.23b)",
                     lines, s + 1);
        if (!writeFile(dir + base + QLatin1String("Have.txt"), have) ||
            !writeFile(dir + base + QLatin1String("Miss.txt"), miss)) {
            std::fprintf(stderr, "cannot write the lists in %s\n", qPrintable(dir));
            return 1;
        }
        bytes += have.size() + miss.size();
        listFiles << dir + base + QLatin1String("Have.txt")
                  << dir + base + QLatin1String("Miss.txt");
        table.insert(key, {key, QStringLiteral("System %1").arg(s), dir,
                           QStringLiteral("Good%1.exe").arg(base)});
        items << key + QLatin1String(" System ") + QString::number(s);
    }

    QTableWidget summary(0, 8);
    summary.setSortingEnabled(true);
    summary.resize(700, 400);
    summary.show();

    qsizetype rows = 0;
    const qint64 readOnly =
        bench::medianNs(5, [&] { rows = collectionSummary(items, table).size(); });
    const qint64 fill =
        bench::medianNs(5, [&] { fillSummaryTable(&summary, collectionSummary(items, table)); });
    QByteArray headOutput;
    const qint64 head = bench::medianNs(5, [&] {
        QProcess process;
        process.start(QStringLiteral("head"),
                      QStringList{QStringLiteral("-q"), QStringLiteral("-n"), QStringLiteral("1")} +
                          listFiles);
        process.waitForFinished(-1);
        headOutput = process.readAllStandardOutput();
    });
    if (rows != systems || summary.rowCount() != systems || headOutput.count('\n') != 2 * systems) {
        std::fprintf(stderr, "unexpected result: %lld rows, %lld table rows, %lld header lines\n",
                     qlonglong(rows), qlonglong(summary.rowCount()),
                     qlonglong(headOutput.count('\n')));
        return 1;
    }

    const auto ms = [](qint64 ns) {
        return double(ns) / 1e6;
    };
    std::printf("%d systems, %d lines per list, %lld MB of lists\n\n", systems, lines,
                bytes / 1000000);
    bench::printHeader(
        {QStringLiteral("What"), QStringLiteral("Time (ms)"), QStringLiteral("vs head")});
    const auto row = [&](const char *what, qint64 ns) {
        bench::printRow({QLatin1String(what), QString::number(ms(ns), 'f', 1),
                         bench::ratio(double(ns) / head)});
    };
    row("head -q -n 1 over the lists (one process)", head);
    row("Summary rows (read the headers)", readOnly);
    row("Summary fill (rows + table)", fill);
    return 0;
}
