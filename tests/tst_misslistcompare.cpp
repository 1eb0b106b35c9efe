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
    void unreadableListCountsAsEmpty_data();
    void unreadableListCountsAsEmpty();
    void missingListWritesNothing_data();
    void missingListWritesNothing();
    void failedWriteStopsAndKeepsOldFiles_data();
    void failedWriteStopsAndKeepsOldFiles();
};

namespace {

const QByteArray Header = " You have 3 of 9 known Gen games\nGenesis (V3.23b)\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The comparison done the slow, literal way: a text stream reads the lines, one byte to one
// character, and every entry is searched for in the whole of the other list.
QStringList literalEntries(const QByteArray &bytes)
{
    QTextStream in(bytes);
    in.setEncoding(QStringConverter::Latin1);
    in.setAutoDetectUnicode(false);
    in.readLine();
    in.readLine();
    QStringList entries;
    while (!in.atEnd())
        entries << in.readLine();
    return entries;
}

QByteArray literalMissing(const QByteArray &entries, const QByteArray &other)
{
    const QStringList otherEntries = literalEntries(other);
    QByteArray out;
    for (const QString &entry : literalEntries(entries)) {
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

    const QByteArray h = Header;
    QTest::newRow("duplicates kept in order")
        << h + "Sonic (W)\nAlien 3 (UE)\nSonic (W)\nZool (E)\n"
        << h + "Zool (E)\nZool (E)\n"
        << QByteArray("Sonic (W)\nAlien 3 (UE)\nSonic (W)\n") << QByteArray();
    QTest::newRow("letter case counts")
        << h + "Ecco (U) [!]\n"
        << h + "ecco (U) [!]\n"
        << QByteArray("Ecco (U) [!]\n") << QByteArray("ecco (U) [!]\n");
    QTest::newRow("trailing space counts") << h + "Ecco (U) \nGunstar (J)\n"
                                           << h + "Ecco (U)\nGunstar (J)\n"
                                           << QByteArray("Ecco (U) \n") << QByteArray("Ecco (U)\n");
    QTest::newRow("empty line is an entry") << h + "Ecco (U)\nGunstar (J)\n"
                                            << h + "Ecco (U)\n\nGunstar (J)\n"
                                            << QByteArray() << QByteArray("\n");
    QTest::newRow("empty lines on both sides match") << h + "\nEcco (U)\n"
                                                     << h + "Ecco (U)\n\n\n"
                                                     << QByteArray() << QByteArray();
    QTest::newRow("code page bytes kept")
        << h + "Pok\xe9mon Pinball (F)\nZool (E)\n"
        << h + "Zool (E)\n\x83\x5c\x83\x8b (J)\n"
        << QByteArray("Pok\xe9mon Pinball (F)\n") << QByteArray("\x83\x5c\x83\x8b (J)\n");
    // Decoded as UTF-8 both would become the same replacement character and match.
    QTest::newRow("different invalid bytes differ")
        << h + "Caf\xe9 (F)\n"
        << h + "Caf\xe8 (F)\n"
        << QByteArray("Caf\xe9 (F)\n") << QByteArray("Caf\xe8 (F)\n");
    QTest::newRow("UTF-8 against code page")
        << h + "Pok\xc3\xa9mon (F)\n"
        << h + "Pok\xe9mon (F)\n"
        << QByteArray("Pok\xc3\xa9mon (F)\n") << QByteArray("Pok\xe9mon (F)\n");
    QTest::newRow("NUL byte kept")
        << h + QByteArray("Odd\0Name\n", 9) << h << QByteArray("Odd\0Name\n", 9) << QByteArray();
    QTest::newRow("CR LF matches LF")
        << QByteArray("h1\r\nh2\r\nSonic (W)\r\nZool (E)\r\n\r\n") << h + "Zool (E)\n"
        << QByteArray("Sonic (W)\n\n") << QByteArray();
    QTest::newRow("lone CR stays in the entry")
        << h + "Sonic\r(W)\nZool\r\r\n"
        << h + "Sonic\n(W)\nZool\n"
        << QByteArray("Sonic\r(W)\nZool\r\n") << QByteArray("Sonic\n(W)\nZool\n");
    QTest::newRow("last line without line end")
        << h + "Sonic (W)\nZool (E)" << h + "Sonic (W)\r\nZool (E)\r" << QByteArray()
        << QByteArray();
    QTest::newRow("header only") << h << h + "Sonic (W)\nZool (E)\n"
                                 << QByteArray() << QByteArray("Sonic (W)\nZool (E)\n");
    QTest::newRow("one line") << QByteArray("Sonic (W)\n") << h + "Sonic (W)\n"
                              << QByteArray() << QByteArray("Sonic (W)\n");
    QTest::newRow("empty file") << QByteArray() << h + "\n" << QByteArray() << QByteArray("\n");
    QTest::newRow("header lines never compared")
        << QByteArray("Sonic (W)\nZool (E)\nAlien 3 (UE)\n") << h + "Sonic (W)\nZool (E)\n"
        << QByteArray("Alien 3 (UE)\n") << QByteArray("Sonic (W)\nZool (E)\n");
}

// Their list lies in another directory; the outputs go beside the user's list and replace
// what is there.
void tst_MissListCompare::compare()
{
    QFETCH(QByteArray, yours);
    QFETCH(QByteArray, theirs);
    QFETCH(QByteArray, iNeed);
    QFETCH(QByteArray, theyNeed);

    // The expected bytes are what the literal text-stream comparison writes.
    QCOMPARE(literalMissing(yours, theirs), iNeed);
    QCOMPARE(literalMissing(theirs, yours), theyNeed);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("friend")));
    const QString yourPath = dir.filePath(QStringLiteral("GenMiss.txt"));
    const QString theirPath = dir.filePath(QStringLiteral("friend/GenMiss.txt"));
    QVERIFY(writeFile(yourPath, yours));
    QVERIFY(writeFile(theirPath, theirs));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("I_Need.txt")), "stale\nstale\nstale\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("They_Need.txt")), "stale\nstale\nstale\n"));

    MissListComparison comparison(yourPath, theirPath);
    QCOMPARE(comparison.run(), MissListComparison::Outcome::Complete);
    QVERIFY(comparison.yourListOpened());
    QVERIFY(comparison.theirListOpened());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("I_Need.txt"))), iNeed);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("They_Need.txt"))), theyNeed);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("friend/I_Need.txt"))));
}

void tst_MissListCompare::unreadableListCountsAsEmpty_data()
{
    QTest::addColumn<bool>("yoursUnreadable");
    QTest::addColumn<QByteArray>("iNeed");
    QTest::addColumn<QByteArray>("theyNeed");
    QTest::newRow("your list") << true << QByteArray() << QByteArray("B\nC\n");
    QTest::newRow("their list") << false << QByteArray("A\nB\n") << QByteArray();
}

// A directory exists but can not be read as a list, even by root.
void tst_MissListCompare::unreadableListCountsAsEmpty()
{
    QFETCH(bool, yoursUnreadable);
    QFETCH(QByteArray, iNeed);
    QFETCH(QByteArray, theyNeed);

    QTemporaryDir dir;
    const QString yourPath = dir.filePath(QStringLiteral("Mine.txt"));
    const QString theirPath = dir.filePath(QStringLiteral("Theirs.txt"));
    QVERIFY(yoursUnreadable ? QDir().mkdir(yourPath) : writeFile(yourPath, Header + "A\nB\n"));
    QVERIFY(yoursUnreadable ? writeFile(theirPath, Header + "B\nC\n") : QDir().mkdir(theirPath));

    MissListComparison comparison(yourPath, theirPath);
    QCOMPARE(comparison.run(), MissListComparison::Outcome::Complete);
    QCOMPARE(comparison.yourListOpened(), !yoursUnreadable);
    QCOMPARE(comparison.theirListOpened(), yoursUnreadable);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("I_Need.txt"))), iNeed);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("They_Need.txt"))), theyNeed);
}

void tst_MissListCompare::missingListWritesNothing_data()
{
    QTest::addColumn<QString>("yourName");
    QTest::addColumn<QString>("theirName");
    QTest::newRow("your list missing") << "Gone.txt"
                                       << "Theirs.txt";
    QTest::newRow("their list missing") << "Mine.txt"
                                        << "Gone.txt";
    QTest::newRow("both fields empty") << ""
                                       << "";
}

void tst_MissListCompare::missingListWritesNothing()
{
    QFETCH(QString, yourName);
    QFETCH(QString, theirName);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Mine.txt")), Header + "A\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Theirs.txt")), Header + "B\n"));
    const auto pathOf = [&](const QString &name) {
        return name.isEmpty() ? QString() : dir.filePath(name);
    };

    MissListComparison comparison(pathOf(yourName), pathOf(theirName));
    QCOMPARE(comparison.run(), MissListComparison::Outcome::ListNotFound);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({QStringLiteral("Mine.txt"), QStringLiteral("Theirs.txt")}));
}

void tst_MissListCompare::failedWriteStopsAndKeepsOldFiles_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QByteArray>("theyNeed");
    QTest::newRow("They_Need.txt") << "They_Need.txt" << QByteArray();
    QTest::newRow("I_Need.txt") << "I_Need.txt" << QByteArray("B\n");
}

// A directory standing where an output goes makes its write fail; the outputs written so far
// stay, and nothing after the failed one is written.
void tst_MissListCompare::failedWriteStopsAndKeepsOldFiles()
{
    QFETCH(QString, blocked);
    QFETCH(QByteArray, theyNeed);

    QTemporaryDir dir;
    const QString yourPath = dir.filePath(QStringLiteral("Mine.txt"));
    QVERIFY(writeFile(yourPath, Header + "A\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Theirs.txt")), Header + "B\n"));
    if (blocked != QLatin1String("I_Need.txt"))
        QVERIFY(writeFile(dir.filePath(QStringLiteral("I_Need.txt")), "old\n"));
    QVERIFY(QDir(dir.path()).mkdir(blocked));

    MissListComparison comparison(yourPath, dir.filePath(QStringLiteral("Theirs.txt")));
    QCOMPARE(comparison.run(), MissListComparison::Outcome::WriteFailed);
    QCOMPARE(comparison.failedOutput(), dir.filePath(blocked));
    QVERIFY(!comparison.error().isEmpty());
    if (blocked == QLatin1String("They_Need.txt"))
        QCOMPARE(readFile(dir.filePath(QStringLiteral("I_Need.txt"))), QByteArray("old\n"));
    else
        QCOMPARE(readFile(dir.filePath(QStringLiteral("They_Need.txt"))), theyNeed);
}

QTEST_GUILESS_MAIN(tst_MissListCompare)
#include "tst_misslistcompare.moc"
