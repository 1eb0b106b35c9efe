#include "maintenance/goodinfoswipe.h"
#include "maintenancetest.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace MaintenanceTest;

namespace {

const QStringList Items{"Swipe All", "[Gen", "[NES", "[SNES"};

RomFlagFilter swipeFilter(const QList<int> &rows, const QString &custom = {})
{
    return filterOf(rows, custom, true);
}

} // namespace

class tst_GoodinfoSwipe : public QObject
{
    Q_OBJECT

private slots:
    void lineRules_data();
    void lineRules();
    void swipe_data();
    void swipe();
    void generatedLines();
    void fileFailures_data();
    void fileFailures();
    void fileInTemporaryDirectory();
    void failedReplaceKeepsOriginal();
};

void tst_GoodinfoSwipe::lineRules_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("unmarked");
    QTest::newRow("bare flag") << "[b"
                               << "[b;;n"
                               << "[b";
    QTest::newRow("option field") << "[b;x"
                                  << "[b;x;n"
                                  << "[b;x";
    QTest::newRow("empty last field") << "[b;x;"
                                      << "[b;x;n"
                                      << "[b;x;";
    QTest::newRow("marked twice") << "[b;;n"
                                  << "[b;;n"
                                  << "[b";
    QTest::newRow("marked once") << "[b;x;n"
                                 << "[b;x;n"
                                 << "[b;x";
    QTest::newRow("plain n field") << "x;n"
                                   << "x;n"
                                   << "x";
    QTest::newRow("upper N is no marker") << "[b;N"
                                          << "[b;N;n"
                                          << "[b;N";
    QTest::newRow("empty line") << ""
                                << ";;n"
                                << "";
    QTest::newRow("three separators") << "x;;;n"
                                      << "x;;;n"
                                      << "x;";
}

void tst_GoodinfoSwipe::lineRules()
{
    QFETCH(QString, line);
    QFETCH(QString, marked);
    QFETCH(QString, unmarked);
    QCOMPARE(withExclusionMarker(line), marked);
    QCOMPARE(withoutExclusionMarker(line), unmarked);
}

void tst_GoodinfoSwipe::swipe_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<bool>("excludeNone");
    QTest::addColumn<QByteArray>("expected");

    using L = QList<int>;
    QTest::newRow("no boxes: only line ends change")
        << QByteArray("[Gen\r\n[b;x\r\nlast") << "Swipe All" << L{} << "" << false
        << QByteArray("[Gen\n[b;x\nlast\n");
    QTest::newRow("absent key") << QByteArray("[Gen\n[b\n") << "[SNES" << L{1} << "" << false
                                << QByteArray("[Gen\n[b\n");
    QTest::newRow("swipe all: every line")
        << QByteArray("[b top\n[Gen\n[b\n[NES\n[b;x;\n") << "Swipe All" << L{1} << "" << false
        << QByteArray("[b top;;n\n[Gen\n[b;;n\n[NES\n[b;x;n\n");
    QTest::newRow("section ends at an item header")
        << QByteArray("[b\n[Gen\n[b\n[NES\n[b\n") << "[Gen" << L{1} << "" << false
        << QByteArray("[b\n[Gen\n[b;;n\n[NES\n[b\n");
    QTest::newRow("unknown header does not end it")
        << QByteArray("[Gen\n[b\n[GBA\n[b\n[NES\n[b\n") << "[Gen" << L{1} << "" << false
        << QByteArray("[Gen\n[b;;n\n[GBA\n[b;;n\n[NES\n[b\n");
    QTest::newRow("repeated header")
        << QByteArray("[Gen\n[b\n[NES\n[b\n[Gen\n[b\n") << "[Gen" << L{1} << "" << false
        << QByteArray("[Gen\n[b;;n\n[NES\n[b\n[Gen\n[b;;n\n");
    QTest::newRow("header must be the whole line")
        << QByteArray("[Gen \n[b\n") << "[Gen" << L{1} << "" << false << QByteArray("[Gen \n[b\n");
    QTest::newRow("header line matched")
        << QByteArray("[Gen\nGenesis [b\n[NES\nGen\n") << "[Gen" << L{10} << "Gen" << false
        << QByteArray("[Gen;;n\nGenesis [b;;n\n[NES\nGen\n");
    QTest::newRow("marked lines stay") << QByteArray("[b;;n\n[b;x;n\n[b;n\n") << "Swipe All" << L{1}
                                       << "" << false << QByteArray("[b;;n\n[b;x;n\n[b;n\n");
    QTest::newRow("exclude none") << QByteArray("[b;;n\n[b;x;n\nx;n\n[b;N\nn\n") << "Swipe All"
                                  << L{} << "" << true << QByteArray("[b\n[b;x\nx\n[b;N\nn\n");
    QTest::newRow("exclude none in its section")
        << QByteArray("[Gen\n[b;;n\n[NES\n[b;;n\n") << "[NES" << L{} << "" << true
        << QByteArray("[Gen\n[b;;n\n[NES\n[b\n");
    QTest::newRow("empty custom marks all") << QByteArray("a\n\n[b;\n") << "Swipe All" << L{10}
                                            << "" << false << QByteArray("a;;n\n;;n\n[b;n\n");
    QTest::newRow("empty file") << QByteArray() << "Swipe All" << L{1} << "" << false
                                << QByteArray();
    QTest::newRow("non-UTF-8 bytes survive")
        << QByteArray("[b caf\xe9\n\xff\xfe;x\n") << "Swipe All" << L{1} << "" << false
        << QByteArray("[b caf\xe9;;n\n\xff\xfe;x\n");
    QTest::newRow("custom text in either encoding")
        << QByteArray("caf\xc3\xa9\ncaf\xe9\ncafe\n") << "Swipe All" << L{10} << "é" << false
        << QByteArray("caf\xc3\xa9;;n\ncaf\xe9;;n\ncafe\n");
    QTest::newRow("CR LF") << QByteArray("[Gen\r\n[b\r\n\r\n") << "[Gen" << L{1} << "" << false
                           << QByteArray("[Gen\n[b;;n\n\n");
    QTest::newRow("lone CR stays in its line")
        << QByteArray("a\r[b\n") << "Swipe All" << L{1} << "" << false << QByteArray("a\r[b;;n\n");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Gen\n[b\n") << "[Gen" << L{1} << ""
                                     << false << QByteArray("\xEF\xBB\xBF[Gen\n[b;;n\n");
}

void tst_GoodinfoSwipe::swipe()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, selection);
    QFETCH(QList<int>, rows);
    QFETCH(QString, custom);
    QFETCH(bool, excludeNone);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath("Goodinfo.cfg");
    QVERIFY(writeAll(path, input));
    const GoodinfoSwipe swipe(selection, Items, swipeFilter(rows, custom), excludeNone);
    QCOMPARE(swipeGoodinfoFile(path, swipe).status, SwipeOutcome::Swiped);
    QCOMPARE(readAll(path), expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Goodinfo.cfg"});
}

// Lines built from flags, separators and markers: marking is idempotent, unmarking undoes it
// unless the line ended in ";", and a marking swipe of a whole file is idempotent too.
void tst_GoodinfoSwipe::generatedLines()
{
    const QStringList fragments{"[b",  "[T", "[t", "(PD)", "Hack)", ";",  "n",   ";n",
                                ";;n", "N",  " ",  "x",    "\xe9",  "\r", "[Gen"};
    QRandomGenerator random(1206);
    QByteArray file;
    for (int round = 0; round < 20000; ++round) {
        QString line;
        for (int n = random.bounded(7); n > 0; --n)
            line += fragments.at(random.bounded(fragments.size()));
        const QString marked = withExclusionMarker(line);
        QVERIFY(isExcludedLine(marked));
        QCOMPARE(withExclusionMarker(marked), marked);
        if (!isExcludedLine(line) && !line.endsWith(u';'))
            QCOMPARE(withoutExclusionMarker(marked), line);
        if (!line.endsWith(u'\r')) // CR LF is a line end, which the first swipe rewrites
            file += line.toLatin1() + '\n';
    }
    for (const QString &selection : QStringList{"Swipe All", "[Gen"}) {
        const RomFlagFilter filter = swipeFilter({1, 4, 7});
        const QByteArray once = GoodinfoSwipe(selection, Items, filter, false).swipe(file);
        QCOMPARE(GoodinfoSwipe(selection, Items, filter, false).swipe(once), once);
        QCOMPARE(once.count('\n'), file.count('\n'));
    }
}

void tst_GoodinfoSwipe::fileFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isDirectory");
    QTest::addColumn<int>("status");
    QTest::newRow("missing") << "Goodinfo.cfg" << false << int(SwipeOutcome::Missing);
    QTest::newRow("unreadable") << "Goodinfo.cfg" << true << int(SwipeOutcome::ReadFailed);
    // No file with a name this long can have a temporary neighbour with a longer one.
    QTest::newRow("no room beside it")
        << QString(250, u'g') << false << int(SwipeOutcome::WriteFailed);
}

void tst_GoodinfoSwipe::fileFailures()
{
    QFETCH(QString, name);
    QFETCH(bool, isDirectory);
    QFETCH(int, status);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QByteArray original("[Gen\n[b\n");
    if (isDirectory)
        QVERIFY(QDir().mkdir(path));
    else if (status != SwipeOutcome::Missing)
        QVERIFY(writeAll(path, original));

    const GoodinfoSwipe swipe("Swipe All", Items, swipeFilter({1}), false);
    QCOMPARE(int(swipeGoodinfoFile(path, swipe).status), status);
    if (status == SwipeOutcome::WriteFailed)
        QCOMPARE(readAll(path), original);
    const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(left, status == SwipeOutcome::Missing ? QStringList() : QStringList{name});
}

// The file the user picks may lie in the temporary directory under the name a fixed
// temporary copy would have; it must still be read before anything is written.
void tst_GoodinfoSwipe::fileInTemporaryDirectory()
{
    QTemporaryDir dir;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    const QString path = QDir::tempPath() + "/Goodinfo.cfg";
    QCOMPARE(path, dir.filePath("Goodinfo.cfg"));
    QVERIFY(writeAll(path, "[Gen\n[b\n"));

    const SwipeOutcome outcome =
        swipeGoodinfoFile(path, GoodinfoSwipe("[Gen", Items, swipeFilter({1}), false));
    qputenv("TMPDIR", oldTmp);
    QCOMPARE(outcome.status, SwipeOutcome::Swiped);
    QCOMPARE(readAll(path), QByteArray("[Gen\n[b;;n\n"));
}

void tst_GoodinfoSwipe::failedReplaceKeepsOriginal()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("tools");
    const QString movedFolder = dir.filePath("moved");
    QVERIFY(QDir().mkdir(folder));
    const QByteArray original("[Gen\r\n[b\r\n");
    QVERIFY(writeAll(folder + "/Goodinfo.cfg", original));

    // The new text is written; then its folder moves away before it can replace the old file.
    const auto moveFolder = [&] {
        QVERIFY(QDir().rename(folder, movedFolder));
    };
    const SwipeOutcome outcome =
        swipeGoodinfoFile(folder + "/Goodinfo.cfg",
                          GoodinfoSwipe("Swipe All", Items, swipeFilter({1}), false), moveFolder);
    QCOMPARE(outcome.status, SwipeOutcome::WriteFailed);
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(!QFile::exists(folder));
    QCOMPARE(QDir(movedFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"Goodinfo.cfg"});
    QCOMPARE(readAll(movedFolder + "/Goodinfo.cfg"), original);
}

QTEST_GUILESS_MAIN(tst_GoodinfoSwipe)
#include "tst_goodinfoswipe.moc"
