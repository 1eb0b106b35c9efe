#include "lists/misslistcompare.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class tst_MissListCompare : public QObject
{
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
    void outcomes_data();
    void outcomes();
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

// The comparison done the slow, literal way: a text stream reads the lines, one byte to one
// character, and each entry is looked for in the whole of the other list.
QByteArray literalMissing(const QByteArray &entries, const QByteArray &other)
{
    const auto read = [](const QByteArray &bytes) {
        QTextStream in(bytes);
        in.setEncoding(QStringConverter::Latin1);
        in.setAutoDetectUnicode(false);
        QStringList lines{in.readLine(), in.readLine()};
        while (!in.atEnd())
            lines << in.readLine();
        return lines.mid(2);
    };
    const QStringList otherEntries = read(other);
    QByteArray out;
    for (const QString &entry : read(entries)) {
        if (!otherEntries.contains(entry))
            out += entry.toLatin1() + '\n';
    }
    return out;
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
    QTest::newRow("letter case") << h + "Ecco (U)\n"
                                 << h + "ecco (U)\n"
                                 << B("Ecco (U)\n") << B("ecco (U)\n");
    QTest::newRow("trailing space") << h + "A \nB\n" << h + "A\nB\n" << B("A \n") << B("A\n");
    QTest::newRow("empty line") << h + "A\nB\n" << h + "A\n\nB\n" << B("") << B("\n");
    QTest::newRow("empty lines match") << h + "\nA\n" << h + "A\n\n\n" << B("") << B("");
    QTest::newRow("code page bytes") << h + "Pok\xe9mon\nZ\n"
                                     << h + "Z\n\x83\x5c (J)\n"
                                     << B("Pok\xe9mon\n") << B("\x83\x5c (J)\n");
    // As UTF-8 both would decode to the same replacement character.
    QTest::newRow("invalid bytes differ") << h + "Caf\xe9\n"
                                          << h + "Caf\xe8\n"
                                          << B("Caf\xe9\n") << B("Caf\xe8\n");
    QTest::newRow("NUL byte") << h + QByteArray("A\0B\n", 4) << h << QByteArray("A\0B\n", 4)
                              << B("");
    QTest::newRow("CR LF") << B("h\r\nh\r\nA\r\nB\r\n\r\n") << h + "B\n" << B("A\n\n") << B("");
    QTest::newRow("lone CR kept") << h + "A\rB\nC\r\r\n"
                                  << h + "A\nB\nC\n"
                                  << B("A\rB\nC\r\n") << B("A\nB\nC\n");
    QTest::newRow("no last line end") << h + "A\nB" << h + "A\r\nB\r" << B("") << B("");
    QTest::newRow("header only") << h << h + "A\nB\n" << B("") << B("A\nB\n");
    QTest::newRow("one line") << QByteArray("A\n") << h + "A\n" << B("") << B("A\n");
    QTest::newRow("empty file") << QByteArray() << h + "\n" << B("") << B("\n");
    QTest::newRow("header never compared") << B("A\nB\nC\n") << h + "A\nB\n"
                                           << B("C\n") << B("A\nB\n");
}

// Their list lies elsewhere; the outputs go beside the user's list and replace what is there.
void tst_MissListCompare::compare()
{
    QFETCH(QByteArray, yours);
    QFETCH(QByteArray, theirs);
    QFETCH(QByteArray, iNeed);
    QFETCH(QByteArray, theyNeed);
    QCOMPARE(literalMissing(yours, theirs), iNeed);
    QCOMPARE(literalMissing(theirs, yours), theyNeed);

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

void tst_MissListCompare::outcomes_data()
{
    QTest::addColumn<QString>("yourName");
    QTest::addColumn<QString>("blocked"); // a directory stands at this name
    QTest::addColumn<MissListComparison::Outcome>("outcome");
    QTest::addColumn<QByteArray>("iNeed"); // "-": no file
    QTest::addColumn<QByteArray>("theyNeed");

    using O = MissListComparison::Outcome;
    QTest::newRow("your list unreadable")
        << "Mine.txt"
        << "Mine.txt" << O::Complete << QByteArray("") << QByteArray("B\n");
    QTest::newRow("their list unreadable")
        << "Mine.txt"
        << "Theirs.txt" << O::Complete << QByteArray("A\n") << QByteArray("");
    QTest::newRow("your list missing")
        << "Gone.txt"
        << "" << O::ListNotFound << QByteArray("-") << QByteArray("-");
    QTest::newRow("They_Need.txt fails")
        << "Mine.txt"
        << "They_Need.txt" << O::WriteFailed << QByteArray("-") << QByteArray("-");
    QTest::newRow("I_Need.txt fails")
        << "Mine.txt"
        << "I_Need.txt" << O::WriteFailed << QByteArray("-") << QByteArray("B\n");
}

// Root reads and writes any file, so a directory stands in for one that can not be opened.
void tst_MissListCompare::outcomes()
{
    QFETCH(QString, yourName);
    QFETCH(QString, blocked);
    QFETCH(MissListComparison::Outcome, outcome);
    QFETCH(QByteArray, iNeed);
    QFETCH(QByteArray, theyNeed);

    QTemporaryDir dir;
    QVERIFY(!blocked.isEmpty() ? QDir(dir.path()).mkdir(blocked) : true);
    writeFile(dir.filePath(QStringLiteral("Mine.txt")), "h\nh\nA\n");
    writeFile(dir.filePath(QStringLiteral("Theirs.txt")), "h\nh\nB\n");
    MissListComparison comparison(yourName.isEmpty() ? QString() : dir.filePath(yourName),
                                  dir.filePath(QStringLiteral("Theirs.txt")));
    QCOMPARE(comparison.run(), outcome);
    QCOMPARE(comparison.yourListOpened(), blocked != QLatin1String("Mine.txt") &&
                                              outcome != MissListComparison::Outcome::ListNotFound);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("I_Need.txt"))), iNeed);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("They_Need.txt"))), theyNeed);
    QCOMPARE(comparison.failedOutput(),
             blocked.endsWith(QLatin1String("Need.txt")) ? dir.filePath(blocked) : QString());
}

QTEST_GUILESS_MAIN(tst_MissListCompare)
#include "tst_misslistcompare.moc"
