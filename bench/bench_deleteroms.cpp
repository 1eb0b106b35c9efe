// Delete Roms against find: the same deletion on two identical trees of N files, one in ten
// carrying "[b", spread over directories of a thousand. Tessary's pass (walk, match, remove,
// report) is timed on one tree, `find DIR -type f -not -path '*/.*' -name '*\[b*' -delete` on the
// other, in the same run, and the two trees must end up alike.
//
// Each figure is the median of three runs on freshly made trees. Making and removing the trees
// takes far longer than the timed part (minutes for the default size on a busy disk).
//
//   bench_deleteroms [N]      (default 100000)
#include "benchsupport.h"
#include "maintenance/romdeletion.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int FilesPerDirectory = 1000;

void makeTree(const QString &root, long files)
{
    for (long i = 0; i < files; ++i) {
        const QString dir =
            root + QStringLiteral("/Set %1").arg(i / FilesPerDirectory, 3, 10, QLatin1Char('0'));
        if (i % FilesPerDirectory == 0)
            QDir().mkpath(dir);
        const char *flag = i % 10 == 3 ? "[b1]" : i % 10 == 5 ? "[T+Eng]" : "[!]";
        QFile(dir + QStringLiteral("/Game %1 (U) %2.bin").arg(i).arg(QLatin1String(flag)))
            .open(QIODevice::WriteOnly);
    }
}

QStringList filesBelow(const QString &root)
{
    QStringList names;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << it.next().mid(root.size());
    names.sort();
    return names;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const long files = argc > 1 ? std::atol(argv[1]) : 100000;
    RomFlagFilter badDumps;
    badDumps.checked[0] = true;

    QList<qint64> ours;
    QList<qint64> finds;
    qsizetype deleted = 0;
    for (int run = 0; run < 3; ++run) {
        QTemporaryDir dir;
        const QString treeA = dir.filePath(QStringLiteral("a"));
        const QString treeB = dir.filePath(QStringLiteral("b"));
        makeTree(treeA, files);
        makeTree(treeB, files);

        QElapsedTimer clock;
        clock.start();
        const RomDeletionResult result = deleteFiles(flaggedRoms(treeA + u'/', true, badDumps));
        const QString report = romDeletionReport(result, true);
        ours << clock.elapsed();
        deleted = result.deleted.size();

        clock.restart();
        QProcess find;
        find.start(QStringLiteral("find"),
                   {treeB, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-not"),
                    QStringLiteral("-path"), QStringLiteral("*/.*"), QStringLiteral("-name"),
                    QStringLiteral("*\\[b*"), QStringLiteral("-delete")});
        if (!find.waitForFinished(-1) || find.exitCode() != 0) {
            std::fprintf(stderr, "find failed\n");
            return 1;
        }
        finds << clock.elapsed();

        if (filesBelow(treeA) != filesBelow(treeB) || report.isEmpty()) {
            std::fprintf(stderr, "the trees differ after the deletion\n");
            return 1;
        }
    }

    const qint64 oursMs = bench::median(ours);
    const qint64 findMs = std::max<qint64>(1, bench::median(finds));
    bench::printHeader({QStringLiteral("Files"), QStringLiteral("Deleted"),
                        QStringLiteral("Delete Roms"), QStringLiteral("find -delete"),
                        QStringLiteral("Ratio")});
    bench::printRow({QString::number(files), QString::number(deleted), bench::ms(oursMs),
                     bench::ms(findMs), bench::ratio(double(oursMs) / findMs)});
    return 0;
}
