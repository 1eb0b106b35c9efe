#include "runner/auditoutput.h"
#include "runner/busyindicator.h"
#include "runner/panelrules.h"
#include "runner/toolcommand.h"
#include "runner/tooloutputdecoder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The command-line words, the audit tidy-up and how a tool is started: the rules behind the
// command panel and the run control. The option groups per command are tested on the panel.
class tst_RunnerRules : public QObject
{
    Q_OBJECT

private slots:
    void words_data();
    void words();
    void audit_data();
    void audit();
    void toolCommands_data();
    void toolCommands();
    void outputPieces_data();
    void outputPieces();
    void decoderResetForgetsWhatWasBegun();
    void pendingOutputIsBounded_data();
    void pendingOutputIsBounded();
    void busyIndicatorIsSeededBySecond();
};

void tst_RunnerRules::words_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *rule, const QString &first,
                        const QString &second, const QString &expected) {
        QTest::newRow(name) << QString::fromLatin1(rule) << first << second << expected;
    };
    // The convert button's word from its label and the NES script's stage.
    row("genesis", "convert", "convert", "1", "convert");
    row("nes first run", "convert", "fixnes script", "1", "fixnes");
    row("nes third run", "convert", "fixnes script", "3", "rename");
    row("any label later", "convert", "convert", "2", "rename");
    row("case counts", "convert", "fixnes Script", "1", "fixnes Script");
    row("every occurrence", "convert", "a script b script", "1", "a b");
    row("config section", "config", "[Gen", QString(), "Gen");
    row("every bracket", "config", "[a]b[c]", QString(), "abc");
    row("no section", "config", QString(), QString(), QString());
    // The tool lives in the ROM directory when the settings say so.
    row("tool in the tools directory", "toolPath", "/r o m s/", "0", "/tools/GoodGen.exe");
    row("tool beside the ROMs", "toolPath", "/r o m s/", "1", "/r o m s/GoodGen.exe");
    // A right click toggles the variant mark; the test is case-sensitive.
    const QList<std::pair<const char *, const char *>> variants{
        {"scan", "d"}, {"scannew", "d"}, {"list", "d"}, {"changes", "-"}, {"changesnew", "-"}};
    for (const auto &[word, mark] : variants) {
        const QString marked = QLatin1String(word) + QLatin1String(mark);
        row(word, "variant", word, word, marked);
        row(qPrintable(marked), "variant", word, marked, word);
    }
    row("upper D", "variant", "list", "listD", "listd");
    row("not a variant", "variant", "rename", "rename", QString());
}

void tst_RunnerRules::words()
{
    QFETCH(QString, rule);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, expected);
    if (rule == QLatin1String("convert"))
        QCOMPARE(convertWord(first, second.toInt()), expected);
    else if (rule == QLatin1String("config"))
        QCOMPARE(configSectionWord(first), expected);
    else if (rule == QLatin1String("toolPath"))
        QCOMPARE(toolPath("/tools/", "GoodGen.exe", first, second == u'1'), expected);
    else
        QCOMPARE(toggledVariantLabel(first, second), expected);
}

void tst_RunnerRules::audit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("uniq");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QString &text, int level, bool uniq, bool sort,
                        const QString &expected) {
        QTest::newRow(name) << text << level << uniq << sort << expected;
    };
    const QString report = QStringLiteral("Audit of (demo)\n[b] z\n[a] y\n[b] z\n[A] x");
    row("uniq keeps first, head untouched", report, 1, true, false,
        "Audit of (demo)\n[b] z\n[a] y\n[A] x");
    row("sort by character code", report, 1, false, true,
        "Audit of (demo)\n[A] x\n[a] y\n[b] z\n[b] z");
    row("level 3 splits at the parenthesis", "head [x]\n(U)\n(E)\n(U)", 3, true, true,
        "head [x]\n(E)\n(U)");
    row("empty lines are lines", "[a]\n\n[a]\n\n", 0, true, false, "[a]\n");
    row("no marker: the whole text is the report", "b\na\nb", 1, true, true, "a\nb");
    row("empty output", QString(), 1, true, true, QString());
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

void tst_RunnerRules::toolCommands_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no such file
    QTest::addColumn<bool>("throughWine");
    QTest::newRow("Windows tool") << QByteArray("MZ\x90\x00rest", 6) << true;
    QTest::newRow("native") << QByteArray("\177ELF") << false;
    QTest::newRow("lower-case mark") << QByteArray("mz") << false;
    QTest::newRow("too short") << QByteArray("M") << false;
    QTest::newRow("missing") << QByteArray() << false;
}

// A Windows tool runs through "wine" with its path as the first argument, outside Windows.
void tst_RunnerRules::toolCommands()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, throughWine);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Good Tool.exe"));
    QFile file(path);
    QVERIFY(content.isNull() || (file.open(QIODevice::WriteOnly) && file.write(content)));
    file.close();
    const QStringList arguments{QStringLiteral("rename"), QString(), QStringLiteral("a \"b\"")};
#ifdef Q_OS_WIN
    throughWine = false;
#endif
    const ToolCommand expected =
        throughWine ? ToolCommand{QStringLiteral("wine"), QStringList{path} + arguments}
                    : ToolCommand{path, arguments};
    QCOMPARE(toolCommand(path, arguments), expected);
    QCOMPARE(toolCommand(path, arguments).throughWine(), throughWine);
}

void tst_RunnerRules::outputPieces_data()
{
    using Encoding = ToolOutputDecoder::Encoding;
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, Encoding encoding, const QByteArrayList &pieces,
                        const QString &expected) {
        QTest::newRow(name) << encoding << pieces << expected;
    };
    const Encoding local = Encoding::Local, cp1252 = Encoding::Windows1252;
    row("CR LF split", local, {"a\r", "\nb"}, "a\r\nb");
    row("lone CR", local, {"a\r", "b\r\r", "\n"}, "a\rb\r\r\n");
    row("CR at the end", local, {"a\r"}, "a\r");
    row("CR before a cut piece", local, {"a\r", QByteArray("\0x", 2)}, "a\r");
    // A zero byte ends the text of its read; the next read is shown again.
    row("cut at zero", local, {QByteArray("abc\0def", 7), QByteArray("\0x", 2), "next"}, "abcnext");
    row("UTF-8", local, {"Pok\xc3\xa9mon"}, "Pokémon");
    row("UTF-8 character split", local, {"Pok\xc3", "\xa9mon"}, "Pokémon");
    // A byte that cannot continue a character cut at the end of a piece is shown, not lost.
    row("UTF-8 lead before a line end", local, {"Pok\xc3", "\nmon"}, "Pok\ufffd\nmon");
    row("UTF-8 lead split twice", local, {"\xf1", "\x80", "x\xff"}, "\ufffd\ufffdx\ufffd");
    row("byte order mark opening the output", local, {"\xef\xbb", "\xbfx\xef\xbb\xbf"}, "x\ufeff");
    row("Windows-1252", cp1252, {"Pok\xe9mon \x80\x96\xbd\xfc"}, "Pokémon €–½ü");
    row("Windows-1252 cut at zero", cp1252, {QByteArray("\xe9\0\xe9", 3), "\x80"}, "é€");
}

// The reads of one run, each shown before the next, and what is held back at the end.
void tst_RunnerRules::outputPieces()
{
    QFETCH(ToolOutputDecoder::Encoding, encoding);
    QFETCH(QByteArrayList, pieces);
    QFETCH(QString, expected);
    if (encoding == ToolOutputDecoder::Encoding::Local &&
        QStringEncoder(QStringConverter::System)(expected) != expected.toUtf8())
        QSKIP("the local encoding is not UTF-8");
    ToolOutputDecoder decoder(encoding);
    PendingToolOutput pending(1024);
    QString text;
    for (const QByteArray &piece : pieces) {
        pending.addRead(piece);
        text += decoder.decode(pending.take(pending.size()));
    }
    text += decoder.flush();
    QCOMPARE(text, expected);
}

// After dropped output, the start of a character or a CR before the gap belongs to nothing, and
// the output starts afresh, as a decoder with state starts.
void tst_RunnerRules::decoderResetForgetsWhatWasBegun()
{
    ToolOutputDecoder decoder;
    QCOMPARE(decoder.decode("a\r\xc3"), u"a"_qs);
    decoder.reset();
    QCOMPARE(decoder.decode("\xef\xbb\xbf\xa9x") + decoder.flush(), u"\ufffdx"_qs);
}

void tst_RunnerRules::pendingOutputIsBounded_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("dropped");
    QTest::newRow("within") << QByteArrayList{"ab\n", "cd\n"} << 6 << QByteArray("ab\ncd\n")
                            << false;
    QTest::newRow("whole lines go")
        << QByteArrayList{"one\ntwo\n", "three\n"} << 8 << QByteArray("three\n") << true;
    QTest::newRow("end of a long last line")
        << QByteArrayList{"ab\ncdefgh\n"} << 4 << QByteArray("fgh\n") << true;
    QTest::newRow("what a zero byte cuts takes no room")
        << QByteArrayList{QByteArray("ab\0xxxxxxxxx", 12), "cd"} << 4 << QByteArray("abcd")
        << false;
}

// Reads pile up beyond the limit, then are taken three bytes at a time.
void tst_RunnerRules::pendingOutputIsBounded()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(int, limit);
    QFETCH(QByteArray, expected);
    QFETCH(bool, dropped);
    PendingToolOutput pending(limit);
    for (const QByteArray &read : reads)
        pending.addRead(read);
    QCOMPARE(pending.takeDropped(), dropped);
    QVERIFY(!pending.takeDropped()); // told once
    QByteArray taken;
    while (pending.size() > 0)
        taken += pending.take(3);
    QCOMPARE(taken, expected);
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
