// The two background file tasks against what a shell user would type for the same job, on
// identical fresh trees in the same run:
//
//   move to root: moveFilesToRoot      vs  find DIR -mindepth 2 -type f -not -path '*/.*'
//                                              -exec mv -n -t DIR {} +
//   copy by list: copyFilesFromList    vs  find, grep -F -x -f on the base names, cp -n
//
// The move tree has no name clashes, so both sides do the same renames. The copy list names
// half the files, spread over every directory. Tessary's side is also given in processor time.
//
//   bench_filetasks [files] [directories] [runs]     (default 100000 1000 3; median of runs)
#include "benchsupport.h"
#include "tasks/copyfromlist.h"
#include "tasks/rentoroot.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <unistd.h>

namespace {

struct Sizes
{
    int files = 100000;
    int dirs = 1000;
};

QString fileName(int i)
{
    return QStringLiteral("Game %1 (U) [!].bin").arg(i, 6, 10, QLatin1Char('0'));
}

// Files spread evenly over the sub-directories of root, 1 KiB each, none directly in root.
void buildTree(const QString &root, const Sizes &sizes)
{
    const QByteArray content(1024, 'r');
    for (int d = 0; d < sizes.dirs; ++d)
        QDir().mkpath(root + QStringLiteral("/Dir%1Ren").arg(d));
    for (int i = 0; i < sizes.files; ++i) {
        QFile file(root + QStringLiteral("/Dir%1Ren/").arg(i % sizes.dirs) + fileName(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("can not write the test tree");
    }
}

int filesIn(const QString &dir)
{
    return int(QDir(dir).entryList(QDir::Files).size());
}

qint64 runShell(const QString &script, const QStringList &arguments)
{
    QElapsedTimer clock;
    clock.start();
    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedChannels);
    shell.start(QStringLiteral("bash"),
                QStringList{QStringLiteral("-c"), script, QStringLiteral("anchor")} + arguments);
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
        qFatal("the shell anchor failed");
    return clock.elapsed();
}

const char MoveAnchor[] =
    "find \"$1\" -mindepth 2 -type f -not -path '*/.*' -exec mv -n -t \"$1\" {} +";

// $1 source, $2 list, $3 destination, $4 scratch directory. Base names are cut at the first
// dot, matched whole against the list, and the matching paths copied without replacing.
const char CopyAnchor[] =
    "find \"$1\" -type f -not -path '*/.*' > \"$4/paths\" && "
    "sed 's|.*/||; s|\\..*||' \"$4/paths\" > \"$4/bases\" && "
    "{ grep -n -F -x -f \"$2\" \"$4/bases\" || true; } | cut -d: -f1 > \"$4/hits\" && "
    "awk 'NR==FNR { hit[$1]; next } FNR in hit' \"$4/hits\" \"$4/paths\" | "
    "xargs -r -d '\\n' cp -n -t \"$3\"";

struct Timing
{
    qint64 ours;
    qint64 anchor;
    qint64 oursProcessor; // user + system time of this process: less swayed by a busy machine
};

// The fresh trees are written out first, so that neither side pays for the other's writeback;
// the side that goes first alternates from run to run.
Timing timeBoth(int run, const std::function<void()> &ours, const std::function<qint64()> &anchor)
{
    Timing timing{};
    QElapsedTimer clock;
    const auto timeOurs = [&] {
        ::sync();
        const qint64 processorBefore = bench::processorMs();
        clock.start();
        ours();
        timing.ours = clock.elapsed();
        timing.oursProcessor = bench::processorMs() - processorBefore;
    };
    const auto timeAnchor = [&] {
        ::sync();
        timing.anchor = anchor();
    };
    if (run % 2 == 0) {
        timeOurs();
        timeAnchor();
    } else {
        timeAnchor();
        timeOurs();
    }
    return timing;
}

Timing benchMove(const Sizes &sizes, int run)
{
    QTemporaryDir ours, anchor;
    buildTree(ours.path(), sizes);
    buildTree(anchor.path(), sizes);

    const Timing timing = timeBoth(
        run,
        [&] {
            if (!moveFilesToRoot(ours.path() + u'/').failed.isEmpty())
                qFatal("a move failed");
        },
        [&] { return runShell(QLatin1String(MoveAnchor), {anchor.path()}); });

    if (filesIn(ours.path()) != sizes.files || filesIn(anchor.path()) != sizes.files)
        qFatal("the move left files behind");
    return timing;
}

Timing benchCopy(const Sizes &sizes, int run)
{
    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("src"));
    buildTree(source, sizes);
    QByteArray lines;
    for (int i = 0; i < sizes.files; i += 2)
        lines += fileName(i).section(u'.', 0, 0).toUtf8() + '\n';
    const QString list = work.filePath(QStringLiteral("list.txt"));
    QFile listFile(list);
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(lines) != lines.size())
        qFatal("can not write the list");
    listFile.close();
    const QString oursDest = work.filePath(QStringLiteral("ours"));
    const QString anchorDest = work.filePath(QStringLiteral("anchor"));
    const QString scratch = work.filePath(QStringLiteral("scratch"));
    for (const QString &dir : {oursDest, anchorDest, scratch})
        QDir().mkpath(dir);

    CopyFromListResult result;
    const Timing timing = timeBoth(
        run, [&] { result = copyFilesFromList(list, oursDest + u'/', source + u'/', true); },
        [&] {
            return runShell(QLatin1String(CopyAnchor), {source, list, anchorDest, scratch});
        });

    const int expected = (sizes.files + 1) / 2;
    if (!result.failed.isEmpty() || filesIn(oursDest) != expected ||
        filesIn(anchorDest) != expected)
        qFatal("the copies differ from the list");
    return timing;
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void printRow(const char *task, const QList<Timing> &timings)
{
    QList<qint64> ours, anchor, processor;
    for (const Timing &timing : timings) {
        ours << timing.ours;
        anchor << timing.anchor;
        processor << timing.oursProcessor;
    }
    const qint64 oursMs = median(ours);
    const qint64 anchorMs = median(anchor);
    std::printf("| %-14s | %8lld ms | %8lld ms | %8lld ms | %5.2f |\n", task,
                static_cast<long long>(oursMs), static_cast<long long>(median(processor)),
                static_cast<long long>(anchorMs),
                double(oursMs) / double(qMax<qint64>(anchorMs, 1)));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    Sizes sizes;
    int runs = 3;
    if (arguments.size() > 1)
        sizes.files = arguments.at(1).toInt();
    if (arguments.size() > 2)
        sizes.dirs = arguments.at(2).toInt();
    if (arguments.size() > 3)
        runs = arguments.at(3).toInt();

    std::printf("%d files in %d directories, median of %d runs\n\n", sizes.files, sizes.dirs, runs);
    std::printf("| %-14s | %11s | %11s | %11s | %5s |\n", "task", "Tessary", "processor", "anchor",
                "ratio");
    std::printf("|----------------|-------------|-------------|-------------|-------|\n");
    QList<Timing> moves, copies;
    for (int run = 0; run < runs; ++run)
        moves << benchMove(sizes, run);
    printRow("move to root", moves);
    for (int run = 0; run < runs; ++run)
        copies << benchCopy(sizes, run);
    printRow("copy by list", copies);
    return 0;
}
