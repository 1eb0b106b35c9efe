#include "lists/collectionsummary.h"
#include "lists/listfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The list naming rule and the summary rows read from list headers as the tools write them.
class tst_ListSummary : public QObject
{
    Q_OBJECT

private slots:
    void baseName_data();
    void baseName();
    void rows_data();
    void rows();
    void fifoIsNotRead();
    void explorerCommandLine();

private:
    QTemporaryDir m_dir;
};

void tst_ListSummary::baseName_data()
{
    QTest::addColumn<QString>("toolFile");
    QTest::addColumn<QString>("base");
    QTest::newRow("Gen") << "GoodGen.exe"
                         << "Gen";
    QTest::newRow("every occurrence, anywhere") << "XGoodGoodN64.exe.exe"
                                                << "XN64";
    QTest::newRow("case matters") << "goodGen.EXE"
                                  << "goodGen.EXE";
    QTest::newRow("unix path") << "/opt/tools/GoodNES.exe"
                               << "NES";
    QTest::newRow("windows path") << "C:\\Tools\\GoodGBA.exe"
                                  << "GBA";
}

void tst_ListSummary::baseName()
{
    QFETCH(QString, toolFile);
    QFETCH(QString, base);
    QCOMPARE(listPath(QStringLiteral("C:/Roms/Gen"), toolFile, QStringLiteral("Miss.txt")),
             QStringLiteral("C:/Roms/Gen/") + base + QStringLiteral("Miss.txt"));
}

void tst_ListSummary::rows_data()
{
    // The lists' whole contents; a null one is absent.
    QTest::addColumn<QByteArray>("miss");
    QTest::addColumn<QByteArray>("have");
    QTest::addColumn<QStringList>("cells"); // Miss, Have, Excluded, Total, Version #
    QTest::addColumn<bool>("complete");

    const QByteArray have(" You have 22094 of 22096 known Genesis ROMS (V3.23b)\r\n\r\nA (U)\r\n");
    QTest::newRow("as the tools write")
        << QByteArray(" You are missing 2 of 22090 known Genesis ROMS (V3.23b)\r\n\r\nB\r\n")
        << have << QStringList{"2", "22094", "6", "22096", "(V3.23b)"} << false;
    QTest::newRow("complete") << QByteArray(" You are missing 0 of 22096") << have
                              << QStringList{"0", "22094", "0", "22096", "(V3.23b)"} << true;
    QTest::newRow("two zeros are not complete")
        << QByteArray(" You are missing 00 of 22096") << have
        << QStringList{"00", "22094", "0", "22096", "(V3.23b)"} << false;
    QTest::newRow("two spaces together") << QByteArray(" You are missing 2 of 22090")
                                         << QByteArray(" You have  22094 of 22096 (V1)\n")
                                         << QStringList{"2", "", "-22090", "of", "(V1)"} << false;
    QTest::newRow("no leading space")
        << QByteArray("You are missing 2 of 22090 known")
        << QByteArray("You have 22094 of 22096 known")
        << QStringList{"of", "of", "0", "known", "You have 22094 of 22096 known"} << false;
    QTest::newRow("negative excluded")
        << QByteArray(" You are missing 5 of 300") << QByteArray(" You have 95 of 100 (V2)")
        << QStringList{"5", "95", "-200", "100", "(V2)"} << false;
    QTest::newRow("Miss list absent: Excluded is Total")
        << QByteArray() << have << QStringList{"", "22094", "22096", "22096", "(V3.23b)"} << false;
    QTest::newRow("Have list absent") << QByteArray(" You are missing 0 of 22096") << QByteArray()
                                      << QStringList{"0", "", "", "", ""} << true;
    QTest::newRow("short headers, no bracket")
        << QByteArray(" You are missing") << QByteArray(" You have 7")
        << QStringList{"", "7", "0", "", " You have 7"} << false;
    QTest::newRow("beyond 32 bits counts as 0")
        << QByteArray(" You are missing 2 of 2147483648") << QByteArray(" You have 1 of 9 (V1)")
        << QStringList{"2", "1", "9", "9", "(V1)"} << false;
    QTest::newRow("difference beyond 32 bits")
        << QByteArray(" You are missing 2 of -2147483648")
        << QByteArray(" You have 1 of 2147483647 (V1)")
        << QStringList{"2", "1", "4294967295", "2147483647", "(V1)"} << false;
    // The header is read in pieces of 256 bytes.
    const QByteArray twoReads = QByteArray(" You have 1 of 2 (").leftJustified(255, 'x');
    QTest::newRow("CR and LF in two reads")
        << QByteArray(" You are missing 1 of 2") << twoReads + "\r\nA\r\n"
        << QStringList{"1", "1", "0", "2", QString::fromLatin1(twoReads.mid(17))} << false;
    const QByteArray brackets =
        " You have 1 of 2 (" + QByteArray(300, 'a') + '(' + QByteArray(300, 'b');
    QTest::newRow("long header, from the first bracket")
        << QByteArray(" You are missing 1 of 2") << brackets + "\nB\n"
        << QStringList{"1", "1", "0", "2", QString::fromLatin1(brackets.mid(17))} << false;
    // Only the first 4 KiB of a list count as its header.
    const QByteArray huge = " You have 1 of 2 (" + QByteArray(4 * 1024 * 1024, 'x');
    QTest::newRow("huge list without a line end")
        << QByteArray(" You are missing 1 of 2") << huge
        << QStringList{"1", "1", "0", "2", QString::fromLatin1(huge.mid(17, 4096 - 17))} << false;
}

void tst_ListSummary::rows()
{
    QFETCH(QByteArray, miss);
    QFETCH(QByteArray, have);
    QFETCH(QStringList, cells);
    QFETCH(bool, complete);

    const QString romPath = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(romPath));
    const auto writeList = [&](const QByteArray &content, const char *name) {
        QFile file(romPath + u'/' + QLatin1String(name));
        QVERIFY(content.isNull() || (file.open(QIODevice::WriteOnly) && file.write(content) > 0));
    };
    writeList(miss, "GenMiss.txt");
    writeList(have, "GenHave.txt");

    SystemTable table;
    table.insert(QStringLiteral("[Gen"), {QStringLiteral("[Gen"), QStringLiteral("Genesis"),
                                          romPath, QStringLiteral("GoodGen.exe")});
    // The key is the item text up to its first space; the ROM directory gets its slash.
    const SummaryRow row = summaryRow(QStringLiteral("[Gen Sega Genesis"), table);
    QCOMPARE(row.cells, QStringList({"[Gen", "Genesis"}) + cells + QStringList(romPath + u'/'));
    QCOMPARE(row.isComplete(), complete);
}

// Opening a FIFO waits for a writer, and the window with it. Should the summary open this one,
// the writer below puts a header into it, which then shows.
void tst_ListSummary::fifoIsNotRead()
{
    const QString romPath = m_dir.filePath(QStringLiteral("fifo"));
    QVERIFY(QDir().mkpath(romPath));
    const QByteArray fifo = QFile::encodeName(romPath + QStringLiteral("/GenMiss.txt"));
    QVERIFY(mkfifo(fifo.constData(), 0600) == 0);
    std::thread writer([&fifo] {
        const int fd = ::open(fifo.constData(), O_WRONLY); // waits for a reader
        const QByteArrayView header = " You are missing 1 of 2\n";
        if (fd < 0 || ::write(fd, header.data(), header.size()) != header.size())
            qWarning("could not write into the FIFO");
        ::close(fd);
    });
    SystemTable table;
    table.insert(QStringLiteral("[Gen"), {QStringLiteral("[Gen"), QStringLiteral("Genesis"),
                                          romPath, QStringLiteral("GoodGen.exe")});
    const SummaryRow row = summaryRow(QStringLiteral("[Gen Genesis"), table);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK); // lets the writer end
    writer.join();
    ::close(reader);
    QCOMPARE(row.cells.at(2), QString());
}

// Windows Explorer gets the ROM directory with backslashes, quoted as one argument.
void tst_ListSummary::explorerCommandLine()
{
    QCOMPARE(explorerArguments(QStringLiteral("C:/Roms/Gen/")),
             QStringLiteral("\"C:\\Roms\\Gen\\\""));
}

QTEST_GUILESS_MAIN(tst_ListSummary)
#include "tst_listsummary.moc"
