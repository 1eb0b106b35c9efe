#include "lists/misslistcompare.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The outputs byte for byte; the window's reports on unreadable lists and failed writes are
// tested with the window.
class tst_MissListCompare : public QObject
{
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
};

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

} // namespace

void tst_MissListCompare::compare_data()
{
    QTest::addColumn<QByteArray>("yours");
    QTest::addColumn<QByteArray>("theirs");
    QTest::addColumn<QByteArray>("iNeed");
    QTest::addColumn<QByteArray>("theyNeed");

    using B = QByteArray;
    const QByteArray h = " You have 3 of 9\nGenesis (V3.23b)\n";
    QTest::newRow("duplicates kept") << h + "A\nB\nA\nC\n"
                                     << h + "C\nC\n"
                                     << B("A\nB\nA\n") << B("");
    QTest::newRow("case and trailing space") << h + "Ecco (U)\nA \n"
                                             << h + "ecco (U)\nA\n"
                                             << B("Ecco (U)\nA \n") << B("ecco (U)\nA\n");
    QTest::newRow("empty line") << h + "A\nB\n" << h + "A\n\nB\n" << B("") << B("\n");
    // As UTF-8 both would decode to the same replacement character.
    QTest::newRow("code page bytes") << h + "Caf\xe9\nZ\n"
                                     << h + "Z\nCaf\xe8\n"
                                     << B("Caf\xe9\n") << B("Caf\xe8\n");
    QTest::newRow("NUL byte") << h + B("A\0B\n", 4) << h << B("A\0B\n", 4) << B("");
    QTest::newRow("CR LF") << B("h\r\nh\r\nA\r\nB\r\n\r\n") << h + "B\n" << B("A\n\n") << B("");
    QTest::newRow("lone CR kept") << h + "A\rB\nC\r\r\n"
                                  << h + "A\nB\nC\n"
                                  << B("A\rB\nC\r\n") << B("A\nB\nC\n");
    QTest::newRow("no last line end") << h + "A\nB" << h + "A\r\nB\r" << B("") << B("");
    QTest::newRow("one line: all header") << B("A\n") << h + "A\n" << B("") << B("A\n");
    QTest::newRow("empty file") << B() << h + "\n" << B("") << B("\n");
}

// Their list lies elsewhere; the outputs go beside the user's list and replace what is there.
void tst_MissListCompare::compare()
{
    QFETCH(QByteArray, yours);
    QFETCH(QByteArray, theirs);
    QFETCH(QByteArray, iNeed);
    QFETCH(QByteArray, theyNeed);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Mine.txt")), yours));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("friend/Theirs.txt")), theirs));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("I_Need.txt")), "stale\nstale\nstale\n"));
    MissListComparison comparison(dir.filePath(QStringLiteral("Mine.txt")),
                                  dir.filePath(QStringLiteral("friend/Theirs.txt")));
    QCOMPARE(comparison.run(), MissListComparison::Outcome::Complete);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("I_Need.txt"))), iNeed);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("They_Need.txt"))), theyNeed);
}

QTEST_GUILESS_MAIN(tst_MissListCompare)
#include "tst_misslistcompare.moc"
