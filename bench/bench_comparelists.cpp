// How long comparing two Miss lists takes against a floor of the same work done by awk. For each
// N, two lists of N entries each (generated ROM names, half of them in both lists, CR LF line
// ends and a header as the tools write them) are compared into I_Need.txt and They_Need.txt.
// The floor runs, on the same files in the same run, once per output file:
//   awk 'NR==FNR{a[$0];next} !($0 in a)' <one list> <other list> > <output>
// Both write the same entries; the bench checks that before it prints.
//
// Each figure is the median of three runs.
//
//   bench_comparelists [N ...]      (default 100000 200000)
#include "benchsupport.h"
#include "lists/misslistcomparison.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QByteArray Header = " You have 0 of 0 known Gen games\r\n\r\n";

// Names in the tools' style: a title, a region, often a revision or dump flag.
QByteArray romName(QRandomGenerator &random, int serial)
{
    static const char *const words[] = {"Super", "Sonic",  "Street", "Fighter", "Dragon", "Quest",
                                        "Mega",  "Star",   "Soccer", "Racing",  "World",  "Legend",
                                        "Ninja", "Tennis", "Golf",   "Castle",  "Space",  "Hero"};
    static const char *const regions[] = {"(U)", "(E)", "(J)", "(UE)", "(W)", "(JU)", "(F)", "(G)"};
    static const char *const flags[] = {"",      " [!]",  " [b1]", " [h1C]", " [T+Eng1.0]",
                                        " [o1]", " [a1]", " [f1]"};
    QByteArray name;
    const int wordCount = 2 + int(random.bounded(3));
    for (int i = 0; i < wordCount; ++i)
        name += QByteArray(words[random.bounded(int(std::size(words)))]) + ' ';
    name += QByteArray::number(serial) + ' ';
    name += regions[random.bounded(int(std::size(regions)))];
    name += flags[random.bounded(int(std::size(flags)))];
    return name;
}

bool writeList(const QString &path, const QList<QByteArray> &names, qsizetype from, qsizetype n)
{
    QByteArray bytes = Header;
    for (qsizetype i = from; i < from + n; ++i)
        bytes += names.at(i) + "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 timeTessary(const QString &yours, const QString &theirs)
{
    QElapsedTimer clock;
    clock.start();
    if (MissListComparison(yours, theirs).run() != MissListComparison::Outcome::Complete)
        qFatal("comparison failed");
    return clock.elapsed();
}

bool runAwk(const QString &first, const QString &second, const QString &output)
{
    QProcess awk;
    awk.setStandardOutputFile(output);
    awk.start(QStringLiteral("awk"),
              {QStringLiteral("NR==FNR{a[$0];next} !($0 in a)"), first, second});
    return awk.waitForFinished(-1) && awk.exitCode() == 0;
}

qint64 timeAwk(const QString &dir, const QString &yours, const QString &theirs)
{
    QElapsedTimer clock;
    clock.start();
    if (!runAwk(yours, theirs, dir + QStringLiteral("/awk_They_Need.txt")) ||
        !runAwk(theirs, yours, dir + QStringLiteral("/awk_I_Need.txt")))
        qFatal("awk failed");
    return clock.elapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<qsizetype> sizes;
    for (const QString &argument : app.arguments().mid(1))
        sizes << argument.toLongLong();
    if (sizes.isEmpty())
        sizes = {100000, 200000};

    bench::printHeader({QStringLiteral("Entries"), QStringLiteral("Tessary"),
                        QStringLiteral("awk, twice"), QStringLiteral("Ratio")});
    for (const qsizetype n : sizes) {
        QTemporaryDir dir;
        QRandomGenerator random(8);
        QList<QByteArray> names;
        for (qsizetype i = 0; i < n + n / 2; ++i)
            names << romName(random, int(i));
        const QString yours = dir.filePath(QStringLiteral("GenMiss.txt"));
        const QString theirs = dir.filePath(QStringLiteral("TheirGenMiss.txt"));
        if (!writeList(yours, names, 0, n) || !writeList(theirs, names, n / 2, n))
            qFatal("can not write the lists");

        QList<qint64> tessary, awk;
        for (int run = 0; run < 3; ++run) {
            tessary << timeTessary(yours, theirs);
            awk << timeAwk(dir.path(), yours, theirs);
        }
        // awk keeps the CR of each line; the entries must be the same.
        for (const char *name : {"I_Need.txt", "They_Need.txt"}) {
            const QByteArray ours = readAll(dir.filePath(QLatin1String(name)));
            QByteArray floor = readAll(dir.filePath(QStringLiteral("awk_") + QLatin1String(name)));
            floor.replace("\r\n", "\n");
            if (ours != floor || ours.count('\n') != n / 2)
                qFatal("%s differs from awk's", name);
        }
        const qint64 oursMs = bench::median(tessary);
        const qint64 awkMs = std::max<qint64>(1, bench::median(awk));
        bench::printRow({QString::number(n), bench::ms(oursMs), bench::ms(awkMs),
                         bench::ratio(double(oursMs) / awkMs)});
    }
    return 0;
}
