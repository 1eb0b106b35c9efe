#include "runner/auditoutput.h"
#include "runner/busyindicator.h"
#include "runner/panelrules.h"
#include "runner/toolcommand.h"
#include "runner/tooloutput.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The command-line words, the audit tidy-up and how a tool is started: the rules behind the
// command panel and the run control. The option groups per command are tested on the panel.
class tst_RunnerRules : public QObject
{
    Q_OBJECT

private slots:
    void convertWord_data();
    void convertWord();
    void configSectionDropsEveryBracket();
    void variants_data();
    void variants();
    void audit_data();
    void audit();
    void toolPathFollowsSameAsRomPath();
    void windowsToolsRunThroughWine();
    void outputStopsAtZeroByte();
    void outputKeepsCharacterSplitAcrossPieces();
    void outputPieces_data();
    void outputPieces();
    void busyIndicatorIsSeededBySecond();
};

void tst_RunnerRules::convertWord_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("word");
    QTest::newRow("genesis") << "convert" << 1 << "convert";
    QTest::newRow("nes first run") << "fixnes script" << 1 << "fixnes";
    QTest::newRow("nes second run") << "fixnes script" << 2 << "rename";
    QTest::newRow("nes third run") << "fixnes script" << 3 << "rename";
    QTest::newRow("any label later") << "convert" << 2 << "rename";
    QTest::newRow("case counts") << "fixnes Script" << 1 << "fixnes Script";
    QTest::newRow("every occurrence") << "a script b script" << 1 << "a b";
}

void tst_RunnerRules::convertWord()
{
    QFETCH(QString, label);
    QFETCH(int, stage);
    QFETCH(QString, word);
    QCOMPARE(::convertWord(label, stage), word);
}

void tst_RunnerRules::configSectionDropsEveryBracket()
{
    QCOMPARE(configSectionWord(QStringLiteral("[Gen")), QStringLiteral("Gen"));
    QCOMPARE(configSectionWord(QStringLiteral("[a]b[c]")), QStringLiteral("abc"));
    QCOMPARE(configSectionWord(QString()), QString());
}

void tst_RunnerRules::variants_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("toggled");
    QTest::newRow("scan") << "scan"
                          << "scan"
                          << "scand";
    QTest::newRow("scand") << "scan"
                           << "scand"
                           << "scan";
    QTest::newRow("scannew") << "scannew"
                             << "scannew"
                             << "scannewd";
    QTest::newRow("scannewd") << "scannew"
                              << "scannewd"
                              << "scannew";
    QTest::newRow("list") << "list"
                          << "list"
                          << "listd";
    QTest::newRow("listd") << "list"
                           << "listd"
                           << "list";
    QTest::newRow("changes") << "changes"
                             << "changes"
                             << "changes-";
    QTest::newRow("changes-") << "changes"
                              << "changes-"
                              << "changes";
    QTest::newRow("changesnew") << "changesnew"
                                << "changesnew"
                                << "changesnew-";
    QTest::newRow("changesnew-") << "changesnew"
                                 << "changesnew-"
                                 << "changesnew";
    // The mark test is case-sensitive; anything else gains the mark.
    QTest::newRow("upper D") << "list"
                             << "listD"
                             << "listd";
    QTest::newRow("not a variant") << "rename"
                                   << "rename" << QString();
}

void tst_RunnerRules::variants()
{
    QFETCH(QString, objectName);
    QFETCH(QString, label);
    QFETCH(QString, toggled);
    QCOMPARE(toggledVariantLabel(objectName, label), toggled);
}

void tst_RunnerRules::audit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("uniq");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QString>("expected");

    const QString report = QStringLiteral("Audit of (demo)\n[b] z\n[a] y\n[b] z\n[A] x");
    QTest::newRow("uniq keeps first, head untouched")
        << report << 1 << true << false << "Audit of (demo)\n[b] z\n[a] y\n[A] x";
    QTest::newRow("sort by character code")
        << report << 1 << false << true << "Audit of (demo)\n[A] x\n[a] y\n[b] z\n[b] z";
    QTest::newRow("both") << report << 1 << true << true << "Audit of (demo)\n[A] x\n[a] y\n[b] z";
    QTest::newRow("level 3 splits at the parenthesis")
        << QStringLiteral("head [x]\n(U)\n(E)\n(U)") << 3 << true << true << "head [x]\n(E)\n(U)";
    QTest::newRow("empty lines are lines")
        << QStringLiteral("[a]\n\n[a]\n\n") << 0 << true << false << "[a]\n";
    QTest::newRow("no marker: the whole text is the report")
        << QStringLiteral("b\na\nb") << 1 << true << true << "a\nb";
    QTest::newRow("empty output") << QString() << 1 << true << true << QString();
}

void tst_RunnerRules::audit()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QFETCH(bool, uniq);
    QFETCH(bool, sort);
    QFETCH(QString, expected);
    QCOMPARE(processAuditOutput(text, auditMarker(level), uniq, sort), expected);
}

void tst_RunnerRules::toolPathFollowsSameAsRomPath()
{
    const QString roms = QStringLiteral("/r o m s/");
    QCOMPARE(toolPath(QStringLiteral("/tools/"), QStringLiteral("GoodGen.exe"), roms, false),
             QStringLiteral("/tools/GoodGen.exe"));
    QCOMPARE(toolPath(QStringLiteral("/tools/"), QStringLiteral("GoodGen.exe"), roms, true),
             QStringLiteral("/r o m s/GoodGen.exe"));
}

void tst_RunnerRules::windowsToolsRunThroughWine()
{
    QTemporaryDir dir;
    const auto write = [&dir](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("Good Win.exe"), "MZ\x90\x00rest");
    write(QStringLiteral("native"), "\x7f"
                                    "ELF");
    write(QStringLiteral("mz-lower"), "mz");
    write(QStringLiteral("short"), "M");

    const QStringList arguments{QStringLiteral("rename"), QString(), QStringLiteral("a \"b\"")};
    const QString windowsTool = dir.filePath(QStringLiteral("Good Win.exe"));
    const ToolCommand expectedWine{QStringLiteral("wine"), QStringList{windowsTool} + arguments};
#ifdef Q_OS_WIN
    QCOMPARE(toolCommand(windowsTool, arguments), (ToolCommand{windowsTool, arguments}));
#else
    QCOMPARE(toolCommand(windowsTool, arguments), expectedWine);
    QVERIFY(toolCommand(windowsTool, arguments).throughWine());
#endif
    for (const char *name : {"native", "mz-lower", "short", "missing"}) {
        const QString path = dir.filePath(QLatin1String(name));
        QCOMPARE(toolCommand(path, arguments), (ToolCommand{path, arguments}));
        QVERIFY(!toolCommand(path, arguments).throughWine());
    }
}

void tst_RunnerRules::outputStopsAtZeroByte()
{
    ToolOutputDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("abc\0def", 7)), QStringLiteral("abc"));
    QCOMPARE(decoder.decode(QByteArray("\0x", 2)), QString());
    QCOMPARE(decoder.decode("next\r\n"), QStringLiteral("next\r\n"));
}

void tst_RunnerRules::outputPieces_data()
{
    using Encoding = ToolOutputDecoder::Encoding;
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF split") << Encoding::Local << QByteArrayList{"a\r", "\nb"}
                                 << QStringLiteral("a\r\nb");
    QTest::newRow("lone CR") << Encoding::Local << QByteArrayList{"a\r", "b\r\r", "\n"}
                             << QStringLiteral("a\rb\r\r\n");
    QTest::newRow("CR at the end")
        << Encoding::Local << QByteArrayList{"a\r"} << QStringLiteral("a\r");
    QTest::newRow("CR before a cut piece")
        << Encoding::Local << QByteArrayList{"a\r", QByteArray("\0x", 2)} << QStringLiteral("a\r");
    QTest::newRow("UTF-8") << Encoding::Local << QByteArrayList{"Pok\xc3\xa9mon"}
                           << QStringLiteral("Pokémon");
    QTest::newRow("Windows-1252") << Encoding::Windows1252
                                  << QByteArrayList{"Pok\xe9mon \x80\x96\xbd\xfc"}
                                  << QStringLiteral("Pokémon €–½ü");
    QTest::newRow("Windows-1252 cut at zero")
        << Encoding::Windows1252 << QByteArrayList{QByteArray("\xe9\0\xe9", 3), "\x80"}
        << QStringLiteral("é€");
}

// The pieces of one run, decoded one after the other, and what is held back at the end.
void tst_RunnerRules::outputPieces()
{
    QFETCH(ToolOutputDecoder::Encoding, encoding);
    QFETCH(QByteArrayList, pieces);
    QFETCH(QString, expected);
    if (encoding == ToolOutputDecoder::Encoding::Local &&
        QStringEncoder(QStringConverter::System)(expected) != expected.toUtf8())
        QSKIP("the local encoding is not UTF-8");
    ToolOutputDecoder decoder(encoding);
    QString text;
    for (const QByteArray &piece : pieces)
        text += decoder.decode(piece);
    text += decoder.flush();
    QCOMPARE(text, expected);
}

void tst_RunnerRules::outputKeepsCharacterSplitAcrossPieces()
{
    QStringEncoder local(QStringConverter::System);
    const QByteArray word = local(QStringLiteral("Pokémon"));
    if (word != QStringLiteral("Pokémon").toUtf8())
        QSKIP("the local encoding is not UTF-8");
    ToolOutputDecoder decoder;
    const qsizetype middleOfE = word.indexOf('m') + 2;
    QString text = decoder.decode(word.left(middleOfE));
    text += decoder.decode(word.mid(middleOfE));
    QCOMPARE(text, QStringLiteral("Pokémon"));
}

void tst_RunnerRules::busyIndicatorIsSeededBySecond()
{
    const QTime second(13, 5, 7);
    QCOMPARE(busyIndicatorNumber(second), busyIndicatorNumber(second.addMSecs(999)));
    QSet<int> seen;
    for (int s = 0; s < 600; ++s) {
        const int number = busyIndicatorNumber(QTime(0, 0).addSecs(s));
        QVERIFY(number >= 0 && number < BusyIndicatorCount);
        seen.insert(number);
    }
    QCOMPARE(seen.size(), BusyIndicatorCount); // every picture gets its turn
    QCOMPARE(busyIndicatorPath(20), QStringLiteral(":/animatedGif/images/20.gif"));
}

QTEST_GUILESS_MAIN(tst_RunnerRules)
#include "tst_runnerrules.moc"
