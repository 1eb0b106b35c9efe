// The Goodinfo.cfg swipe against awk: a file of N lines in 50 sections is marked for bad dumps
// ("[b"), once for the whole file and once for one section, by Tessary's swipe (read, rewrite,
// replace in place) and by an awk script doing the same marking into a new file that then
// replaces the old, in the same run. Both results must be byte for byte the same.
//
// Each figure is the median of five runs.
//
//   bench_swipe [N]      (default 100000)
#include "benchsupport.h"
#include "maintenance/goodinfoswipe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Sections = 50;

const char AwkMarking[] = R"(
function mark() {
    if (index($0, "[b") && $0 !~ /;n$/) {
        if (index($0, ";") == 0) $0 = $0 ";;n"
        else if ($0 ~ /;$/) $0 = $0 "n"
        else $0 = $0 ";n"
    }
}
BEGIN { n = split(items, list, "\t"); for (i = 1; i <= n; i++) isItem[list[i]] = 1 }
sel == "Swipe All" { mark(); print; next }
$0 == sel { inSection = 1; mark(); print; next }
inSection && !($0 in isItem) { mark(); print; next }
{ inSection = 0; print }
)";

QStringList itemTexts()
{
    QStringList items{QStringLiteral("Swipe All")};
    for (int s = 1; s <= Sections; ++s)
        items << QStringLiteral("[Sys%1").arg(s, 2, 10, QLatin1Char('0'));
    return items;
}

QByteArray goodinfo(long lines)
{
    const char *bodies[] = {"[b;Bad dump", "[b", "[!;Verified", "[T+;Translation;", "[h;Hack;;n",
                            "Option=1",    "",   "[b2;x;",      "[o;Overdump",      "; comment"};
    const QStringList items = itemTexts();
    QByteArray text;
    const long perSection = lines / Sections;
    for (long i = 0; i < lines; ++i) {
        if (i % perSection == 0 && i / perSection < Sections)
            text += items.at(1 + i / perSection).toLatin1();
        else
            text += bodies[i % 10];
        text += '\n';
    }
    return text;
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const long lines = argc > 1 ? std::atol(argv[1]) : 100000;
    const QByteArray input = goodinfo(lines);
    const QStringList items = itemTexts();
    RomFlagFilter badDumps;
    badDumps.checked[0] = true;
    badDumps.emptyCustomMatchesAll = true;

    bench::printHeader({QStringLiteral("Lines"), QStringLiteral("Selection"),
                        QStringLiteral("Swipe"), QStringLiteral("awk"), QStringLiteral("Ratio")});
    for (const QString &selection : {items.at(0), items.at(25)}) {
        QList<qint64> ours;
        QList<qint64> awks;
        for (int run = 0; run < 5; ++run) {
            QTemporaryDir dir;
            const QString mine = dir.filePath(QStringLiteral("a/Goodinfo.cfg"));
            const QString theirs = dir.filePath(QStringLiteral("Goodinfo.cfg"));
            QDir(dir.path()).mkdir(QStringLiteral("a"));
            if (!writeAll(mine, input) || !writeAll(theirs, input))
                return 1;

            QElapsedTimer clock;
            clock.start();
            const SwipeOutcome outcome =
                swipeGoodinfoFile(mine, GoodinfoSwipe(selection, items, badDumps, false));
            ours << clock.elapsed();

            clock.restart();
            QProcess awk;
            awk.setStandardOutputFile(theirs + QStringLiteral(".new"));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
            awk.setProcessEnvironment(environment);
            awk.start(QStringLiteral("awk"),
                      {QStringLiteral("-v"), QStringLiteral("sel=") + selection,
                       QStringLiteral("-v"), QStringLiteral("items=") + items.join(u'\t'),
                       QLatin1String(AwkMarking), theirs});
            if (!awk.waitForFinished(-1) || awk.exitCode() != 0 ||
                std::rename(QFile::encodeName(theirs + QStringLiteral(".new")).constData(),
                            QFile::encodeName(theirs).constData()) != 0)
                return 1;
            awks << clock.elapsed();

            if (outcome.status != SwipeOutcome::Swiped || readAll(mine) != readAll(theirs)) {
                std::fprintf(stderr, "the swipe and awk disagree\n");
                return 1;
            }
        }
        const qint64 oursMs = bench::median(ours);
        const qint64 awkMs = std::max<qint64>(1, bench::median(awks));
        bench::printRow({QString::number(lines), selection, bench::ms(oursMs), bench::ms(awkMs),
                         bench::ratio(double(oursMs) / awkMs)});
    }
    return 0;
}
