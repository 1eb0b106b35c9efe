#include "settings/atomicwrite.h"
#include "settings/linereader.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class tst_LineReader : public QObject
{
    Q_OBJECT

private slots:
    void lineEnds_data();
    void lineEnds();
    void crLfSplitAcrossReads();
    void longLineWithoutLineEnd();
    void binaryInputEnds();
    void atomicWriteReplacesWholeFile();
    void atomicWriteFailureKeepsOldFile();
};

static QStringList readAll(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(&buffer);
    QStringList lines;
    QString line;
    while (reader.readLine(line))
        lines << line;
    return lines;
}

void tst_LineReader::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("cr only") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("no final line end") << QByteArray("a\nlast") << QStringList{"a", "last"};
    QTest::newRow("empty lines kept") << QByteArray("\n\r\n\r") << QStringList{"", "", ""};
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("nul stays in line")
        << QByteArray("a\0b\nc", 5) << QStringList{QString::fromUtf8("a\0b", 3), "c"};
    QTest::newRow("utf-8") << QByteArray("Pok\xc3\xa9mon\n") << QStringList{u"Pokémon"_qs};
    // Each byte that is no UTF-8 stands for itself, so that writing the text gives it back.
    QTest::newRow("invalid utf-8 kept") << QByteArray("x\xff\xe9y\xe2\x82\n")
                                        << QStringList{u"x"_qs + QChar(0xDCFF) + QChar(0xDCE9) +
                                                       u"y"_qs + QChar(0xDCE2) + QChar(0xDC82)};
    // Only a byte order mark that opens a line is left out, whatever else the line holds.
    QTest::newRow("byte order mark beside invalid utf-8")
        << QByteArray("\xef\xbb\xbf\xe9x\ny\xef\xbb\xbf\xe9\n")
        << QStringList{QChar(0xDCE9) + u"x"_qs, u"y"_qs + QChar::ByteOrderMark + QChar(0xDCE9)};
}

void tst_LineReader::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(readAll(bytes), lines);
}

void tst_LineReader::crLfSplitAcrossReads()
{
    // The reader takes 64 KiB at a time; put a CR LF pair across every such boundary it may use.
    for (int firstLength : {65535, 65536 * 2 - 1}) {
        QByteArray bytes(firstLength, 'x');
        bytes += "\r\nnext\r\n";
        const QStringList lines = readAll(bytes);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).size(), firstLength);
        QCOMPARE(lines.at(1), QStringLiteral("next"));
    }
}

void tst_LineReader::longLineWithoutLineEnd()
{
    const QByteArray bytes(8 * 1024 * 1024, 'y');
    const QStringList lines = readAll(bytes);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().size(), bytes.size());
}

void tst_LineReader::binaryInputEnds()
{
    QRandomGenerator random(42);
    QByteArray bytes(2 * 1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    const QStringList lines = readAll(bytes);
    // Every LF, CR and CR LF in the noise ends a line; count them independently.
    int ends = 0;
    for (int i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            ++ends;
        else if (bytes[i] == '\r' && !(i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            ++ends;
    }
    const bool endsWithLineEnd = bytes.endsWith('\n') || bytes.endsWith('\r');
    QCOMPARE(lines.size(), ends + (endsWithLineEnd ? 0 : 1));
}

void tst_LineReader::atomicWriteReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.ini"));
    QVERIFY(writeTextFileAtomically(path, QStringLiteral("a long first version\n")));
    QVERIFY(writeTextFileAtomically(path, QStringLiteral("short\n")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("short\n"));
}

void tst_LineReader::atomicWriteFailureKeepsOldFile()
{
    QTemporaryDir dir;
    // A path inside a missing directory cannot be written, whoever runs the test.
    const QString path = dir.filePath(QStringLiteral("missing/out.ini"));
    QString error;
    QVERIFY(!writeTextFileAtomically(path, QStringLiteral("x\n"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(path));

    // A directory standing where the file should be stays as it is.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    QVERIFY(QDir().mkpath(blocked + QStringLiteral("/inside")));
    QVERIFY(!writeTextFileAtomically(blocked, QStringLiteral("x\n"), &error));
    QVERIFY(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
}

QTEST_GUILESS_MAIN(tst_LineReader)
#include "tst_linereader.moc"
