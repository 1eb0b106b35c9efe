#include "maintenance/goodinfoswipe.h"
#include "maintenancetest.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace MaintenanceTest;

namespace {

const QStringList Items{"Swipe All", "[Gen", "[NES", "[SNES"};

GoodinfoSwipe swipeOf(const QString &selection, const QList<int> &rows, const QString &custom = {},
                      bool excludeNone = false)
{
    return GoodinfoSwipe(selection, Items, filterOf(rows, custom, true), excludeNone);
}

} // namespace

class tst_GoodinfoSwipe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TMPDIR", tmp.path().toLocal8Bit()); }
    void swipe_data();
    void swipe();
    void generatedLines();
    void fileFailures_data();
    void fileFailures();

private:
    QTemporaryDir tmp; // the file each swipe works on lies in the temporary directory
};

void tst_GoodinfoSwipe::swipe_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<bool>("excludeNone");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *name, const QByteArray &input, const char *selection,
                        QList<int> rows, const QByteArray &expected, const QString &custom = {},
                        bool excludeNone = false) {
        QTest::newRow(name) << input << QString(selection) << rows << custom << excludeNone
                            << expected;
    };
    const char *all = "Swipe All";
    row("no boxes: only line ends change", "[Gen\r\n[b;x\r\nlast", all, {}, "[Gen\n[b;x\nlast\n");
    row("absent key", "[Gen\n[b\n", "[SNES", {1}, "[Gen\n[b\n");
    row("swipe all: every line", "[b top\n[Gen\n[b;x\n[NES\n[b;x;\n[b;N\n", all, {1},
        "[b top;;n\n[Gen\n[b;x;n\n[NES\n[b;x;n\n[b;N;n\n");
    row("section ends at an item header", "[b\n[Gen\n[b\n[NES\n[b\n", "[Gen", {1},
        "[b\n[Gen\n[b;;n\n[NES\n[b\n");
    row("unknown header does not end it", "[Gen\n[b\n[GBA\n[b\n[NES\n[b\n", "[Gen", {1},
        "[Gen\n[b;;n\n[GBA\n[b;;n\n[NES\n[b\n");
    row("repeated header", "[Gen\n[b\n[NES\n[b\n[Gen\n[b\n", "[Gen", {1},
        "[Gen\n[b;;n\n[NES\n[b\n[Gen\n[b;;n\n");
    row("header must be the whole line", "[Gen \n[b\n", "[Gen", {1}, "[Gen \n[b\n");
    row("header line matched", "[Gen\nGenesis [b\n[NES\nGen\n", "[Gen", {10},
        "[Gen;;n\nGenesis [b;;n\n[NES\nGen\n", "Gen");
    row("exclude none", "[b;;n\n[b;x;n\nx;n\nx;;;n\n[b;N\nn\n", all, {},
        "[b\n[b;x\nx\nx;\n[b;N\nn\n", {}, true);
    row("exclude none in its section", "[Gen\n[b;;n\n[NES\n[b;;n\n", "[NES", {},
        "[Gen\n[b;;n\n[NES\n[b\n", {}, true);
    row("empty custom marks all", "a\n\n[b;\n", all, {10}, "a;;n\n;;n\n[b;n\n");
    row("empty file", "", all, {1}, "");
    row("non-UTF-8 bytes survive", "[b caf\xe9\n\xff\xfe;x\n", all, {1},
        "[b caf\xe9;;n\n\xff\xfe;x\n");
    row("custom text in either encoding", "caf\xc3\xa9\ncaf\xe9\ncafe\n", all, {10},
        "caf\xc3\xa9;;n\ncaf\xe9;;n\ncafe\n", "é");
    row("CR LF", "[Gen\r\n[b\r\n\r\n", "[Gen", {1}, "[Gen\n[b;;n\n\n");
    row("lone CR stays in its line", "a\r[b\n", all, {1}, "a\r[b;;n\n");
    row("lone CR at the very end is a line end", "[Gen\n[b\r", "[Gen", {1}, "[Gen\n[b;;n\n");
    // Written with LF alone, "x\r" would read back as "x" and the next swipe would change it.
    row("CRs before a line end belong to it", "[b\r\r\nx\r\r\r\ny\r\r", all, {1}, "[b;;n\nx\ny\n");
    row("byte order mark", "\xEF\xBB\xBF[Gen\n[b\n", "[Gen", {1}, "\xEF\xBB\xBF[Gen\n[b;;n\n");
}

void tst_GoodinfoSwipe::swipe()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, selection);
    QFETCH(QList<int>, rows);
    QFETCH(QString, custom);
    QFETCH(bool, excludeNone);
    QFETCH(QByteArray, expected);
    const QString path = QDir::tempPath() + "/Goodinfo.cfg";
    QVERIFY(writeAll(path, input));
    QCOMPARE(swipeGoodinfoFile(path, swipeOf(selection, rows, custom, excludeNone)).status,
             SwipeOutcome::Swiped);
    QCOMPARE(readAll(path), expected);
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Goodinfo.cfg"});
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
        file += line.toLatin1() + '\n';
    }
    for (const char *selection : {"Swipe All", "[Gen"}) {
        const QByteArray once = swipeOf(selection, {1, 4, 7}).swipe(file);
        QCOMPARE(swipeOf(selection, {1, 4, 7}).swipe(once), once);
        QCOMPARE(once.count('\n'), file.count('\n'));
    }
}

void tst_GoodinfoSwipe::fileFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("moveAway");
    QTest::newRow("missing") << "Goodinfo.cfg" << int(SwipeOutcome::Missing) << false;
    QTest::newRow("a directory") << "Goodinfo.cfg" << int(SwipeOutcome::ReadFailed) << false;
    // No file with a name this long can have a temporary neighbour with a longer one.
    QTest::newRow("no room beside it")
        << QString(250, u'g') << int(SwipeOutcome::WriteFailed) << false;
    // The new text is written; then its folder moves away before it can replace the old file.
    QTest::newRow("failed replace") << "Goodinfo.cfg" << int(SwipeOutcome::WriteFailed) << true;
}

void tst_GoodinfoSwipe::fileFailures()
{
    QFETCH(QString, name);
    QFETCH(int, status);
    QFETCH(bool, moveAway);
    QTemporaryDir dir;
    const QString folder = dir.filePath("tools"), moved = dir.filePath("moved");
    QVERIFY(QDir().mkdir(folder));
    if (status == SwipeOutcome::ReadFailed)
        QVERIFY(QDir().mkdir(folder + u'/' + name));
    else if (status == SwipeOutcome::WriteFailed)
        QVERIFY(writeAll(folder + u'/' + name, "[b\r\n"));
    const SwipeOutcome outcome =
        swipeGoodinfoFile(folder + u'/' + name, swipeOf("Swipe All", {1}), [&] {
            if (moveAway)
                QVERIFY(QDir().rename(folder, moved));
        });
    QCOMPARE(int(outcome.status), status);
    const QString left = moveAway ? moved : folder;
    if (status == SwipeOutcome::WriteFailed) {
        QVERIFY(!outcome.error.isEmpty());
        QCOMPARE(readAll(left + u'/' + name), QByteArray("[b\r\n"));
    }
    QCOMPARE(QDir(left).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             status == SwipeOutcome::Missing ? QStringList() : QStringList{name});
}

QTEST_GUILESS_MAIN(tst_GoodinfoSwipe)
#include "tst_goodinfoswipe.moc"
