#include "lists/collectionsummary.h"
#include "lists/listfiles.h"
#include "lists/listheader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The list naming rule and the summary rows read from list headers as the tools write them.
class tst_ListSummary : public QObject
{
    Q_OBJECT

private slots:
    void baseName_data();
    void baseName();
    void headerLineEnds_data();
    void headerLineEnds();
    void rows_data();
    void rows();
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
    QTest::newRow("SNES") << "GoodSNES.exe"
                          << "SNES";
    QTest::newRow("every occurrence") << "GoodGoodN64.exe.exe"
                                      << "N64";
    QTest::newRow("Good in the middle") << "XGoodY.exe"
                                        << "XY";
    QTest::newRow("lower-case good stays") << "goodGen.exe"
                                           << "goodGen";
    QTest::newRow("upper-case EXE stays") << "GoodGen.EXE"
                                          << "Gen.EXE";
    QTest::newRow("unix path") << "/opt/tools/GoodNES.exe"
                               << "NES";
    QTest::newRow("windows path") << "C:\\Tools\\GoodGBA.exe"
                                  << "GBA";
}

void tst_ListSummary::baseName()
{
    QFETCH(QString, toolFile);
    QFETCH(QString, base);
    QCOMPARE(listBaseName(toolFile), base);
    QCOMPARE(listPath(QStringLiteral("C:/Roms/Gen"), toolFile, QStringLiteral("Miss.txt")),
             QStringLiteral("C:/Roms/Gen/") + base + QStringLiteral("Miss.txt"));
}

void tst_ListSummary::headerLineEnds_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("version");
    QTest::newRow("CR LF") << QByteArray(" You have 1 of 2 (V3.23b)\r\n\r\nA\r\n") << "(V3.23b)";
    QTest::newRow("LF") << QByteArray(" You have 1 of 2 (V3.23b)\nA\n") << "(V3.23b)";
    QTest::newRow("no line end") << QByteArray(" You have 1 of 2 (V3)") << "(V3)";
    QTest::newRow("from the first bracket") << QByteArray("a (b) (c)\r\n") << "(b) (c)";
    QTest::newRow("no bracket: whole line")
        << QByteArray(" You have 1 of 2\r\n") << " You have 1 of 2";
    QTest::newRow("empty file") << QByteArray() << "";
    const QByteArray longVersion = '(' + QByteArray(254, 'x');
    QTest::newRow("CR and LF in different reads")
        << QByteArray(longVersion + "\r\nA\r\n") << QString::fromLatin1(longVersion);
    QTest::newRow("long line") << QByteArray(" a " + longVersion + longVersion + "\nB\n")
                               << QString::fromLatin1(longVersion + longVersion);
}

void tst_ListSummary::headerLineEnds()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, version);
    const QString path = m_dir.filePath(QStringLiteral("header.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    const std::optional<ListHeader> header = ListHeader::read(path);
    QVERIFY(header);
    QCOMPARE(header->versionText(), version);
}

void tst_ListSummary::rows_data()
{
    // A null header means the list is absent.
    QTest::addColumn<QByteArray>("missHeader");
    QTest::addColumn<QByteArray>("haveHeader");
    QTest::addColumn<QStringList>("cells"); // Miss, Have, Excluded, Total, Version #
    QTest::addColumn<bool>("complete");

    const QByteArray have(" You have 22094 of 22096 known Genesis ROMS (V3.23b)");
    QTest::newRow("as the tools write")
        << QByteArray(" You are missing 2 of 22090 known Genesis ROMS (V3.23b)") << have
        << QStringList{"2", "22094", "6", "22096", "(V3.23b)"} << false;
    QTest::newRow("complete") << QByteArray(" You are missing 0 of 22096 known Genesis ROMS")
                              << have << QStringList{"0", "22094", "0", "22096", "(V3.23b)"}
                              << true;
    QTest::newRow("two zeros are not complete")
        << QByteArray(" You are missing 00 of 22096") << have
        << QStringList{"00", "22094", "0", "22096", "(V3.23b)"} << false;
    QTest::newRow("two spaces in the Miss header")
        << QByteArray(" You are  missing 0 of 22096") << have
        << QStringList{"missing", "22094", "22096", "22096", "(V3.23b)"} << false;
    QTest::newRow("two spaces in the Have header")
        << QByteArray(" You are missing 2 of 22090") << QByteArray(" You have  22094 of 22096 (V1)")
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
    QTest::newRow("both absent") << QByteArray() << QByteArray() << QStringList{"", "", "", "", ""}
                                 << false;
    QTest::newRow("short headers") << QByteArray(" You are missing") << QByteArray(" You have 7")
                                   << QStringList{"", "7", "0", "", " You have 7"} << false;
    QTest::newRow("thousands separator counts as 0")
        << QByteArray(" You are missing 2 of 22,090") << QByteArray(" You have 1 of 22,096 (V1)")
        << QStringList{"2", "1", "0", "22,096", "(V1)"} << false;
    QTest::newRow("beyond 32 bits counts as 0")
        << QByteArray(" You are missing 2 of 2147483648") << QByteArray(" You have 1 of 9 (V1)")
        << QStringList{"2", "1", "9", "9", "(V1)"} << false;
    QTest::newRow("difference beyond 32 bits")
        << QByteArray(" You are missing 2 of -2147483648")
        << QByteArray(" You have 1 of 2147483647 (V1)")
        << QStringList{"2", "1", "4294967295", "2147483647", "(V1)"} << false;
}

void tst_ListSummary::rows()
{
    QFETCH(QByteArray, missHeader);
    QFETCH(QByteArray, haveHeader);
    QFETCH(QStringList, cells);
    QFETCH(bool, complete);

    const QString romPath = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(romPath));
    const auto writeList = [&](const QByteArray &header, const char *name) {
        if (header.isNull())
            return;
        QFile file(romPath + u'/' + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(header + "\r\n\r\nSome Game (U) [!]\r\nOther Game (E)\r\n");
    };
    writeList(missHeader, "GenMiss.txt");
    writeList(haveHeader, "GenHave.txt");

    SystemTable table;
    table.insert(QStringLiteral("[Gen"), {QStringLiteral("[Gen"), QStringLiteral("Genesis"),
                                          romPath, QStringLiteral("GoodGen.exe")});
    // The key is the item text up to its first space; the ROM directory gets its slash.
    const SummaryRow row = summaryRow(QStringLiteral("[Gen Sega Genesis"), table);
    QCOMPARE(row.cells, QStringList({"[Gen", "Genesis"}) + cells + QStringList(romPath + u'/'));
    QCOMPARE(row.isComplete(), complete);
}

// Windows Explorer gets the ROM directory with backslashes, quoted as one argument.
void tst_ListSummary::explorerCommandLine()
{
    QCOMPARE(explorerArguments(QStringLiteral("C:/Roms/Gen/")),
             QStringLiteral("\"C:\\Roms\\Gen\\\""));
}

QTEST_GUILESS_MAIN(tst_ListSummary)
#include "tst_listsummary.moc"
