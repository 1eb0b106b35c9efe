#include "app/mainwindow.h"
#include "demo/democollection.h"
#include "runner/auditoutput.h"
#include "runner/busyindicator.h"
#include "runner/convertcommand.h"
#include "runner/process.h"
#include "runner/toolcommand.h"
#include "runner/tooloutputdecoder.h"
#include "tessarytest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>

#include <csignal>

using namespace TessaryTest;

namespace {

const QString Idle = QStringLiteral("Go * { background-color: rgb(85, 255, 127) }");
const QString Running = QStringLiteral("Stop busy * { background-color: rgb(255,0,0) }");

QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(dir.size());
    files.sort();
    return files;
}

// The state letter of a process ('S' sleeping, 't' held by its tracer), '-' when it is gone.
char processState(int pid)
{
    const QByteArray line = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd < 0 || nameEnd + 2 >= line.size() ? '-' : line.at(nameEnd + 2);
}

// How many processes have `needle`, and `also`, in their command line.
int running(const QByteArray &needle, const QByteArray &also = {})
{
    int count = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray line = readFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
        count += line.contains(needle) && line.contains(also);
    }
    return count;
}

// Drives the panel the way a user does: "name" checks a button (clicks a push button),
// "name=value" fills a line edit or the output area, or picks a combo box index (empty: clear
// it), "right name"/"left name" clicks a widget ("window": the window itself), "select Key"
// picks a system, "rmdir Key" removes that system's ROM directory.
void apply(Collection &c, const QStringList &steps)
{
    MainWindow *window = c.window();
    for (const QString &step : steps) {
        const QString name = step.section(u'=', 0, 0), value = step.section(u'=', 1);
        if (step.startsWith(QLatin1String("right ")) || step.startsWith(QLatin1String("left "))) {
            QVERIFY(QTest::qWaitForWindowActive(window));
            QWidget *target = step.endsWith(QLatin1String(" window"))
                                  ? window
                                  : child<QWidget>(window, step.section(u' ', 1));
            QTest::mouseClick(target, step[0] == u'r' ? Qt::RightButton : Qt::LeftButton, {},
                              target == window ? QPoint(5, 300) : QPoint());
        } else if (step.startsWith(QLatin1String("select "))) {
            c.select(step.mid(7));
        } else if (step.startsWith(QLatin1String("rmdir "))) {
            QVERIFY(QDir(c.romDir(step.mid(6))).removeRecursively());
        } else if (auto *edit = window->findChild<QLineEdit *>(name)) {
            edit->setText(value);
        } else if (auto *combo = window->findChild<QComboBox *>(name)) {
            value.isEmpty() ? combo->clear() : combo->setCurrentIndex(value.toInt());
        } else if (auto *text = window->findChild<QTextEdit *>(name)) {
            text->setPlainText(value);
        } else if (auto *push = window->findChild<QPushButton *>(name)) {
            push->click();
        } else {
            child<QAbstractButton>(window, name)->setChecked(true);
        }
    }
}

} // namespace

// The tool runner: the rules behind the command panel and the run control, the panel and the run
// control as the user drives them, and whole runs of the substitute tool, scripts and Wine.
class tst_Runner : public QObject
{
    Q_OBJECT

    std::unique_ptr<Collection> m_c;

    // The run control as the user sees it: the button's text, the busy indicator, the colour.
    QString runState()
    {
        QString busy;
        for (QLabel *label : m_c->window()->findChildren<QLabel *>()) {
            if (label->movie())
                busy = label->isVisible() ? QStringLiteral(" busy") : QStringLiteral(" hidden");
        }
        return m_c->go()->text() + busy + u' ' + m_c->go()->styleSheet();
    }

private slots:
    void init() { m_c = std::make_unique<Collection>(); }
    void cleanup()
    {
        m_c.reset();
        qunsetenv("GOODTOOL_PACE_MS");
    }

    // The rules, without a window.

    void convertCommands_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("expected"); // "label: tooltip", empty when there is none
        QTest::newRow("Gen") << "[Gen Genesis"
                             << "convert: Convert SMD/MD format to BIN format";
        QTest::newRow("SNES") << "[SNES S"
                              << "convert: Convert SNES interleave to non-interleave";
        QTest::newRow("NES") << "[NES N"
                             << "fixnes script: Fix iNES header information using the script "
                                "in Good.doc";
        QTest::newRow("case counts") << "[nes N"
                                     << "";
        QTest::newRow("a prefix only") << "[GB [Gen"
                                       << "";
    }
    void convertCommands()
    {
        QFETCH(QString, selected);
        QFETCH(QString, expected);
        const ConvertCommand command = convertCommandFor(selected);
        QCOMPARE(command.available ? command.label + ": " + command.toolTip : QString(), expected);
    }

    void audit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("uniq");
        QTest::addColumn<bool>("sort");
        QTest::addColumn<QString>("expected");
        const QString report = QStringLiteral("Audit of (demo)\n[b] z\n[a] y\n[b] z\n[A] x");
        QTest::newRow("uniq keeps the first, the head stays")
            << report << 1 << true << false << "Audit of (demo)\n[b] z\n[a] y\n[A] x";
        QTest::newRow("sort by character code")
            << report << 1 << false << true << "Audit of (demo)\n[A] x\n[a] y\n[b] z\n[b] z";
        QTest::newRow("level 3 splits at the parenthesis")
            << "head [x]\n(U)\n(E)\n(U)" << 3 << true << true << "head [x]\n(E)\n(U)";
        QTest::newRow("empty lines are lines") << "[a]\n\n[a]\n\n" << 0 << true << false << "[a]\n";
        QTest::newRow("no marker: all is report") << "b\na\nb" << 1 << true << true << "a\nb";
        QTest::newRow("empty output") << "" << 1 << true << true << "";
    }
    void audit()
    {
        QFETCH(QString, text);
        QFETCH(int, level);
        QFETCH(bool, uniq);
        QFETCH(bool, sort);
        QFETCH(QString, expected);
        QCOMPARE(processAuditOutput(text, auditMarker(level), uniq, sort), expected);
    }

    void toolCommands_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::addColumn<bool>("throughWine");
        QTest::newRow("Windows tool") << QByteArray("MZ\x90\x00rest", 6) << true;
        QTest::newRow("native") << QByteArray("\177ELF") << false;
        QTest::newRow("lower-case mark") << QByteArray("mz") << false;
        QTest::newRow("too short") << QByteArray("M") << false;
        QTest::newRow("missing") << QByteArray() << false;
    }
    // Outside Windows, a Windows tool runs through "wine" with its path as the first argument.
    void toolCommands()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, throughWine);
        const QString path = m_c->root() + "Good Tool.exe";
        QVERIFY(content.isNull() || writeFile(path, content));
        const QStringList arguments{"rename", "", "a \"b\""};
        const ToolCommand command = toolCommand(path, arguments);
        QCOMPARE(command.program, throughWine ? QStringLiteral("wine") : path);
        QCOMPARE(command.arguments, throughWine ? QStringList{path} + arguments : arguments);
    }

    void outputPieces_data()
    {
        using Encoding = ToolOutputDecoder::Encoding;
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QByteArrayList &pieces, const QString &expected,
                            Encoding encoding = Encoding::Local) {
            QTest::newRow(name) << encoding << pieces << expected;
        };
        row("CR LF split", {"a\r", "\nb"}, "a\r\nb");
        row("lone CR", {"a\r", "b\r\r", "\n"}, "a\rb\r\r\n");
        row("CR before a cut piece", {"a\r", QByteArray("\0x", 2)}, "a\r");
        // A zero byte ends the text of its read; the next read is shown again.
        row("cut at zero", {QByteArray("abc\0def", 7), QByteArray("\0x", 2), "next"}, "abcnext");
        row("UTF-8 character split", {"Pok\xc3", "\xa9mon"}, "Pokémon");
        // A byte that cannot continue a character cut at the end of a piece is shown, not lost.
        row("UTF-8 lead before a line end", {"Pok\xc3", "\nmon"}, "Pok\ufffd\nmon");
        row("UTF-8 lead split twice", {"\xf1", "\x80", "x\xff"}, "\ufffd\ufffdx\ufffd");
        row("byte order mark opening the output", {"\xef\xbb", "\xbfx\xef\xbb\xbf"}, "x\ufeff");
        row("Windows-1252", {"Pok\xe9mon \x80\x96\xbd\xfc"}, "Pokémon €–½ü", Encoding::Windows1252);
        row("Windows-1252 cut at zero", {QByteArray("\xe9\0\xe9", 3), "\x80"}, "é€",
            Encoding::Windows1252);
    }
    // The reads of one run, each shown before the next, and what is held back at the end.
    void outputPieces()
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
        QCOMPARE(text + decoder.flush(), expected);
        // After dropped output, what was begun before the gap belongs to nothing.
        if (encoding == ToolOutputDecoder::Encoding::Windows1252)
            return;
        QCOMPARE(decoder.decode("a\r\xc3"), "a");
        decoder.reset();
        QCOMPARE(decoder.decode("\xa9x") + decoder.flush(), "\ufffdx");
    }

    void pendingOutputIsBounded_data()
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
    void pendingOutputIsBounded()
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

    void busyIndicatorIsSeededBySecond()
    {
        QCOMPARE(busyIndicatorNumber(QTime(13, 5, 7)), busyIndicatorNumber(QTime(13, 5, 7, 999)));
        QSet<int> seen;
        for (int s = 0; s < 600; ++s)
            seen.insert(busyIndicatorNumber(QTime(0, 0).addSecs(s)));
        QSet<int> pictures; // each of the 21 gets its turn, and nothing else comes up
        for (int n = 0; n < 21; ++n)
            pictures.insert(n);
        QCOMPARE(seen, pictures);
        QCOMPARE(busyIndicatorPath(20), ":/animatedGif/images/20.gif");
    }

    // The command panel. GBA, Gen and NES are configured, in that order.

    void panel_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shown"); // option frames shown, "deep", "convert", the output
        const auto row = [](const char *name, const QStringList &steps,
                            const QStringList &arguments, const char *shown) {
            QTest::newRow(name) << steps << arguments << QString::fromUtf8(shown);
        };
        row("sort and uniq are no words", {"sort", "uniq"}, {}, "");
        row("words in creation order",
            {"rename", "configComboBox=1", "config", "logmsgs", "right changes", "changes",
             "sepXchar=_", "sepX", "dirs"},
            {"rename", "dirs", "sep_", "logmsgs", "changes-", "config", "Gen"}, "34568");
        row("empty separator", {"rename", "sepX"}, {"rename", "sep"}, "34568");
        row("move; hidden options count", {"move", "forceDC"}, {"move", "forceDC"}, "346");
        row("scannew", {"scannew"}, {"scannew"}, "4 deep");
        row("list", {"list"}, {"list"}, "4");
        row("audit without level", {"audit"}, {"audit"}, "4");
        row("audit 4", {"audit", "comboBox_2=4"}, {"audit4"}, "49");
        row("audit 5", {"audit", "comboBox_2=5"}, {"audit5"}, "4");
        row("custom alone", {"customRB"}, {""}, "345689 deep");
        row("custom after the command", {"scan", "customRB", "custom= two words "},
            {"scan", " two words "}, "345689 deep");
        row("config without sections", {"configComboBox=", "config"}, {"config", ""}, "");
        row("fixnes on NES", {"select NES", "convert"}, {"fixnes"}, "4 convert");
        row("convert stays checked on GBA", {"select NES", "convert", "select GBA"}, {"fixnes"},
            "4");
        row("Gen converts", {"select NES", "convert", "select Gen"}, {"convert"}, "4 convert");
        row("a new command clears options and output",
            {"rename", "inplace", "quiet", "configComboBox=2", "config", "sepXchar=-",
             "textEdit=last run", "list", "customRB", "sepX", "config"},
            {"list", "", "sep", "config", "GBA"}, "345689 deep");
        row("Clear clears all but what is shown",
            {"audit", "comboBox_2=4", "customRB", "custom=x", "uniq", "forcexbox",
             "textEdit=last run", "Clear", "forcexbox"},
            {"forcexbox"}, "345689 deep");
        row("right click: scand", {"right scan", "scan"}, {"scand"}, "4 deep");
        row("right click: scannewd, changesnew-",
            {"right scannew", "scannew", "right changesnew", "changesnew"},
            {"scannewd", "changesnew-"}, "4 deep");
        row("right click: listd, changes-", {"right list", "right changes", "list", "changes"},
            {"listd", "changes-"}, "4");
        row("two right clicks",
            {"right scan", "right scan", "scan", "right changes", "right changes", "changes"},
            {"scan", "changes"}, "4 deep");
        row("only a right click on a variant",
            {"right scan", "left window", "right rename", "right window", "scan"}, {"scand"},
            "4 deep");
    }
    void panel()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, arguments);
        QFETCH(QString, shown);
        for (const char *key : {"GBA", "Gen", "NES"})
            m_c->addSystem(key);
        MainWindow *window = m_c->startWindow();
        QVERIFY(window);
        apply(*m_c, steps);
        QCOMPARE(window->buildArguments(), arguments);
        QString state;
        for (const char *frame : {"frame_3", "frame_4", "frame_5", "frame_6", "frame_8", "frame_9"})
            state += child<QWidget>(window, frame)->isHidden() ? "" : QString(QChar(frame[6]));
        if (!child<QWidget>(window, "deep")->isHidden() && state.contains(u'4'))
            state += " deep";
        if (!child<QWidget>(window, "convert")->isHidden())
            state += " convert";
        QCOMPARE((state + " " + m_c->output()).trimmed(), shown);
    }

    // Runs from the panel, one system "Run" whose tool is a script, or the substitute tool on Gen.

    void run_data()
    {
        QTest::addColumn<QByteArray>("tool"); // "": no system, "-": no program, "demo", a script
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("expected"); // %1 the tool directory, %2 the ROM directory
        const auto row = [](const char *name, const QByteArray &tool, const QStringList &steps,
                            const QString &expected, const QStringList &messages = {}) {
            QTest::newRow(name) << tool << steps << messages << expected;
        };
        const QByteArray echo = "exec '" ECHOARGS_PATH "' \"$@\"";
        row("no arguments, no system", "", {}, "", {"Warning: Error: No args selected"});
        row("no system", "", {"list"}, "",
            {"Warning: No systems found. Configure Tessary under Main->Config."});
        row("no program", "-", {"list"}, "Can not start %1GoodRun.exe\nexecvp: Permission denied");
        // The tool never runs in the directory the last run left current.
        row("ROM directory gone", echo, {"rmdir Run", "list"},
            "Can not start %1GoodRun.exe\nThe ROM directory %2/ does not exist.");
        row("arguments arrive whole", echo,
            {"rename", "customRB", "custom= two  \"words\" 'x' \\", "configComboBox=", "config"},
            "1:[rename]\n2:[ two  \"words\" 'x' \\]\n3:[config]\n4:[]\ncwd:[%2]\n");
        row("waiting for ENTER reads the end", "read line; echo \"read [$line]\"", {"list"},
            "read []\n");
        row("zero bytes cut their own read",
            "exec '" ODDTOOL_PATH "' reads 'one@cut' '@' 'two\n@three' 'four\n'", {"list"},
            "onetwo\nfour\n");
        QString lines; // short, so that many slices end between a CR and its LF
        for (int i = 0; i < 40000; ++i)
            lines += QString::number(i) + u'\n';
        row("CR LF flood",
            "exec awk 'BEGIN { for (i = 0; i < 40000; i++) printf \"%d\\r\\n\", i }'", {"list"},
            lines);
        // A Windows tool prints in its code page; "wine" on the search path is the script.
        row("through Wine", "wine:printf 'Pok\\351mon \\200\\r\\n'; " + echo,
            {"customRB", "custom=a b"}, "Pokémon €\n1:[%1GoodRun.exe]\n2:[a b]\ncwd:[%2]\n");
        row("audit, de-duplicated and sorted", "demo", {"audit", "comboBox_2=3", "uniq", "sort"},
            "Audit 3 of the Sega Genesis/Mega Drive collection\n"
            "Database version 0.1 DEMO with 13 known ROMs\n10 files seen\n"
            "You have 8 of 13 known ROMs, listed in GenHave.txt\n"
            "You are missing 5 of 13 wanted ROMs, listed in GenMiss.txt\n\n\n"
            "(E)\n(J)\n(JU)\n(PD)\n(U)");
        // The substitute refuses what it does not know, so no wrong word goes unnoticed.
        row("unknown command", "demo", {"customRB", "custom=Rename"}, "");
        row("unknown option", "demo", {"list", "customRB", "custom=dir"}, "");
    }
    void run()
    {
        QFETCH(QByteArray, tool);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, messages);
        QFETCH(QString, expected);
        const QByteArray path = qgetenv("PATH");
        QString key = QStringLiteral("Run");
        if (tool == "demo") {
            m_c->addDemoSystem(key = QStringLiteral("Gen"));
        } else if (tool.startsWith("wine:")) {
            QVERIFY(writeFile(m_c->toolDir() + "GoodRun.exe", "MZ not really a program"));
            QVERIFY(writeFile(m_c->root() + "bin/wine", "#!/bin/sh\n" + tool.mid(5), true));
            qputenv("PATH", QFile::encodeName(m_c->root() + "bin:") + path);
        } else if (tool != "-") {
            QVERIFY(writeFile(m_c->toolDir() + "GoodRun.exe", "#!/bin/sh\n" + tool, true));
        }
        if (!tool.isEmpty() && key == "Run")
            m_c->addSystem(key, {}, "GoodRun.exe");
        MessageBoxAnswerer answerer;
        QVERIFY(m_c->startWindow());
        apply(*m_c, steps);
        m_c->clickGo();
        QVERIFY(m_c->waitForGo());
        qputenv("PATH", path);
        QCOMPARE(answerer.seen, messages);
        expected.replace("%1", m_c->toolDir()).replace("%2", QDir::cleanPath(m_c->romDir(key)));
        QCOMPARE(m_c->output(), expected);
        if (messages.isEmpty())
            QCOMPARE(runState(), Idle);
    }

    void stopOrCloseKillsTheTool_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("Stop") << QStringList{"Go", "Stop"};
        QTest::newRow("closing the window") << QStringList{"Go", "close"};
        QTest::newRow("double click, then click()") << QStringList{"double click", "click()"};
        QTest::newRow("preview during the run, then Stop") << QStringList{"Go", "preview", "Stop"};
        QTest::newRow("two previews, then closing") << QStringList{"preview", "preview", "close"};
    }
    // A rename, and a preview, that wait a minute after each file; each step leaves as many
    // copies of the tool running as it should, and the output shown as it stood.
    void stopOrCloseKillsTheTool()
    {
        QFETCH(QStringList, steps);
        m_c->addDemoSystem("Gen");
        QString error; // for the preview to list
        QVERIFY(!writeMissingRoms(demoSystem("Gen"), QDir::tempPath() + u'/', &error).isEmpty());
        QVERIFY(m_c->startWindow());
        apply(*m_c, {"rename"});
        qputenv("GOODTOOL_PACE_MS", "60000");
        const QByteArray tool = QFile::encodeName(m_c->toolDir() + "GoodGen.exe");
        for (const QString &step : steps) {
            const QString before = m_c->output();
            if (step == "Go" || step == "double click") {
                m_c->clickGo();
                if (step == "double click") { // Qt's press, release, double click, release
                    QTest::mouseDClick(m_c->go(), Qt::LeftButton);
                    QTest::mouseRelease(m_c->go(), Qt::LeftButton);
                }
                QTRY_VERIFY(!m_c->output().isEmpty()); // streamed while the tool runs
                QCOMPARE(runState(), Running);
            } else if (step == "preview" && m_c->go()->text() == "Stop") {
                MessageBoxAnswerer answerer;
                m_c->trigger("actionPreview_Available_Roms");
                QCOMPARE(answerer.seen,
                         QStringList{"Warning: A tool is running. Preview Available Roms "
                                     "once it has ended."});
                QCOMPARE(m_c->output(), before);
            } else if (step == "preview") {
                m_c->trigger("actionPreview_Available_Roms");
            } else if (step == "close") {
                m_c->closeWindow();
            } else {
                step == "Stop" ? m_c->clickGo() : m_c->go()->click();
                QCOMPARE(runState(), Idle);
                QCOMPARE(m_c->output(), before);
            }
            // A second preview ends the first.
            const bool busy = m_c->window() && (m_c->go()->text() == "Stop" || step == "preview");
            QTRY_COMPARE(running(tool), busy ? 1 : 0);
        }
        QCOMPARE(running(tool), 0);
        // The tool writes its lists at the end: killed after its first file, it wrote none.
        QVERIFY(!QFile::exists(m_c->romDir("Gen") + "GenHave.txt"));
    }

    // A tool that a kill does not end at once, like one stuck on a drive that no longer
    // answers: Go comes back, or the window goes, while it is held. Let go, it is reaped.
    void stuckToolHoldsNothingUp_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("Stop") << false;
        QTest::newRow("closing the window") << true;
    }
    void stuckToolHoldsNothingUp()
    {
        QFETCH(bool, closeWindow);
        QVERIFY(writeFile(m_c->toolDir() + "GoodHeld", "#!/bin/sh\nexec '" ODDTOOL_PATH "' held\n",
                          true));
        m_c->addSystem("Held", {}, "GoodHeld");
        QVERIFY(m_c->startWindow());
        apply(*m_c, {"rename"});
        m_c->clickGo();
        QTRY_VERIFY(m_c->output().endsWith(u'\n'));
        if (m_c->output() == "not held\n")
            QSKIP("no process tracing here");
        const QStringList words = m_c->output().split(u' '); // "tool <pid> held by <pid>"
        const int tool = words.value(1).toInt(), helper = words.value(4).toInt();
        QVERIFY2(tool > 0 && helper > 0, qPrintable(m_c->output()));
        closeWindow ? m_c->closeWindow() : m_c->clickGo();
        QVERIFY(closeWindow || runState() == Idle);
        // The helper lets go after 20 seconds: a window that waited for the tool saw it end.
        QVERIFY2(processState(helper) == 'S', "the window waited for the held tool");
        if (processState(tool) != 't')
            QSKIP("this system ends a killed tool at once");
        ::kill(helper, SIGKILL);
        QTRY_COMPARE(processState(tool), '-');
    }

    void fixnesScript_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("run through") << false;
        QTest::newRow("every stage stopped") << true;
    }
    void fixnesScript()
    {
        QFETCH(bool, stop);
        m_c->addDemoSystem("NES");
        const QString dir = m_c->romDir("NES");
        // The user's own duplicates are put aside during the script and come back afterwards.
        QVERIFY(writeFile(dir + "NESDupes/mine.nes", ""));
        QVERIFY(m_c->startWindow());
        apply(*m_c, {"select NES", "convert"});
        qputenv("GOODTOOL_PACE_MS", stop ? "60000" : "0");
        m_c->clickGo();
        for (int stage = 1; stop && stage <= 3; ++stage) {
            // Each run is stopped after its first line, below the stage message from stage 2 on.
            QTRY_VERIFY(m_c->output().count(u'\n') >= (stage == 1 ? 1 : 2));
            QCOMPARE(runState(), Running);
            m_c->clickGo();
            if (stage < 3) {
                QTRY_COMPARE_WITH_TIMEOUT(m_c->go()->text(), "Stop", 20000);
                QVERIFY(m_c->output().startsWith(
                    QStringLiteral("fixnes script stage %1 complete\nStarting stage %2")
                        .arg(stage)
                        .arg(stage + 1)));
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_c->output(), "fixnes script complete", 60000);
        QCOMPARE(runState(), Idle);
        QCOMPARE(m_c->window()->buildArguments(),
                 QStringList{"fixnes"}); // it starts over next time
        const QStringList files = filesBelow(dir);
        QCOMPARE(files.filter("NESDupes/"), QStringList{"NESDupes/mine.nes"});
        QVERIFY2(files.filter(".new.nes").isEmpty(), qPrintable(files.join(u',')));
        // Run through, every known ROM sits in NESRen under its good name, its header fixed.
        for (const DemoRom &rom : demoSystem("NES").roms) {
            const QString renamed = dir + "NESRen/" + rom.goodName + ".nes";
            QVERIFY2(stop || rom.goodName.isEmpty() ||
                         (QFile::exists(renamed) && !Ines::hasJunk(readFile(renamed))),
                     qPrintable(renamed));
        }
    }

    // Relative paths in Tessary.ini start at its own folder, however the runs change the current
    // directory: after a run on Gen, NES's run still works in NES's folder.
    void relativePathsKeepEachSystemInItsFolder()
    {
        m_c->addDemoSystem("Gen");
        m_c->addDemoSystem("NES");
        QVERIFY(m_c->writeSettings());
        const QString relative =
            QDir(QCoreApplication::applicationDirPath()).relativeFilePath(m_c->root()) + u'/';
        QVERIFY(writeSettings(readSettings().replace(m_c->root().toUtf8(), relative.toUtf8())));
        MainWindow window;
        child<QAbstractButton>(&window, "list")->setChecked(true);
        for (int system = 0; system < 2; ++system) {
            child<QComboBox>(&window, "selectSystemComboBox")->setCurrentIndex(system);
            child<QPushButton>(&window, "Go")->click();
            QTRY_COMPARE_WITH_TIMEOUT(child<QPushButton>(&window, "Go")->text(), "Go", 20000);
        }
        QVERIFY(QFile::exists(m_c->romDir("Gen") + "GenHave.txt"));
        QVERIFY(QFile::exists(m_c->romDir("NES") + "NESHave.txt"));
    }

    void outputIsBounded_data()
    {
        QTest::addColumn<int>("width");    // of the numbers the tool prints, one a line
        QTest::addColumn<bool>("endless"); // counting up without end, else down from 20000 to 1
        QTest::addColumn<int>("fewest");   // lines on show at the end
        QTest::addColumn<int>("most");
        // 4 KiB allow for 16 lines, and for the whole lines within 4096 characters; a trim takes
        // off half of either.
        QTest::newRow("short lines") << 7 << false << 8 << 16;
        QTest::newRow("long lines") << 300 << false << 6 << 13;
        QTest::newRow("without end") << 7 << true << 1 << 16;
    }
    // With room for 4 KiB, the output area shows the end of a flood in whole lines, under a note.
    void outputIsBounded()
    {
        QFETCH(int, width);
        QFETCH(bool, endless);
        QFETCH(int, fewest);
        QFETCH(int, most);
        const QByteArray loop = endless ? "i = 1; ; i++" : "i = 20000; i > 0; i--";
        QVERIFY(writeFile(m_c->toolDir() + "GoodFlood",
                          "#!/bin/sh\nexec awk 'BEGIN { for (" + loop + ") printf \"%0" +
                              QByteArray::number(width) + "d\\n\", i }'\n",
                          true));
        QTextEdit area;
        QStringList arguments;
        QPointer<Process> process =
            new Process(m_c->toolDir(), "GoodFlood", m_c->root(), &arguments, &area, false, 4096);
        const QString note = "Earlier output dropped: only the last 4 KiB are kept.\n";
        if (endless) {
            QTRY_VERIFY(area.toPlainText().startsWith(note));
            QTest::qWait(200); // many more reads
            process->stop();
        }
        QTRY_VERIFY_WITH_TIMEOUT(process.isNull(), 20000);
        QVERIFY(area.toPlainText().startsWith(note));
        // Whole lines that follow each other; a stop may cut the last one short.
        QStringList lines = area.toPlainText().mid(note.size()).split(u'\n');
        QVERIFY(lines.takeLast().isEmpty() || endless);
        QVERIFY2(lines.size() >= fewest && lines.size() <= most, qPrintable(lines.join(u' ')));
        const int first = endless ? lines.first().toInt() : lines.size();
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines.at(i).toInt(), endless ? first + i : first - i);
    }

    // A Windows console tool through the real Wine: the arguments it gets, the names it prints in
    // its code page, and Stop leaving no Windows process behind.
    void realWine()
    {
        if (QByteArrayLiteral(WINTOOL_PATH).isEmpty() ||
            QStandardPaths::findExecutable("wine").isEmpty())
            QSKIP("needs wine and a Windows tool built by x86_64-w64-mingw32-gcc");
        qputenv("WINEPREFIX", QFile::encodeName(m_c->root() + "prefix"));
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml="); // no installer dialogs
        QVERIFY(QFile::copy(WINTOOL_PATH, m_c->toolDir() + "GoodWine.exe"));
        m_c->addSystem("Wine", {}, "GoodWine.exe");
        QVERIFY(m_c->startWindow());
        apply(*m_c,
              {"rename", "customRB", "custom= two  \"words\" here", "configComboBox=", "config"});
        m_c->clickGo();
        QVERIFY(m_c->waitForGo(240000)); // the first start sets up the prefix
        // Wine shows the Unix root as drive Z:. The names come in Windows-1252.
        QCOMPARE(m_c->output(), "1:[rename]\n2:[ two  \"words\" here]\n3:[config]\n4:[]\ncwd:[Z:" +
                                    QDir::cleanPath(m_c->romDir("Wine")).replace(u'/', u'\\') +
                                    "]\nPokémon Blue (E) [!]\nCafé € – ½ (J)\n");
        apply(*m_c, {"list"});
        m_c->clickGo();
        QTRY_COMPARE_WITH_TIMEOUT(m_c->output(), "list waiting\n", 60000);
        const QByteArray ours = QFile::encodeName(QDir(m_c->root()).dirName());
        QCOMPARE(running("GoodWine.exe", ours), 1);
        m_c->clickGo();
        QCOMPARE(m_c->output(), "list waiting\n");
        QTRY_COMPARE(running("GoodWine.exe", ours), 0);
        QProcess::execute("wineserver", {"-k"}); // the prefix's processes go before it does
    }
};

QTEST_MAIN(tst_Runner)
#include "tst_runner.moc"
