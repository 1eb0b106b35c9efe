#include "app/mainwindow.h"
#include "demo/democollection.h"
#include "runner/process.h"
#include "runner/toolarguments.h"
#include "runner/tooloutputdecoder.h"
#include "runner/windowsjob.h"
#include "tessarytest.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_WIN
#include <windows.h>

#include <tlhelp32.h>
#else
#include <csignal>
#endif

using namespace TessaryTest;

namespace {

const QString Idle = QStringLiteral("Go * { background-color: rgb(85, 255, 127) }");

#ifdef Q_OS_WIN

// How many Good*.exe processes run: Windows shows no other process's command line.
int running(const QByteArray &word, const QByteArray &)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof entry};
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        count += QString::fromWCharArray(entry.szExeFile).startsWith(QLatin1String(word));
    CloseHandle(snapshot);
    return count;
}

#else

// How many processes have both words in their command line.
int running(const QByteArray &word, const QByteArray &other)
{
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    return std::count_if(pids.begin(), pids.end(), [&](const QString &pid) {
        const QByteArray line = readFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
        return line.contains(word) && line.contains(other);
    });
}

#endif

} // namespace

// The tool runner: the rules behind the command panel and the run control, the panel and the run
// control as the user drives them, and whole runs of scripts, the substitute tool and Wine.
class tst_Runner : public QObject
{
    Q_OBJECT

    std::unique_ptr<Collection> m_c;
    QTemporaryDir m_winePrefix; // one for every run: the first start in a prefix takes a while

private slots:
    void initTestCase()
    {
        qputenv("WINEPREFIX", QFile::encodeName(m_winePrefix.path()));
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml="); // no installer dialogs
        qputenv("WINEDEBUG", "-all");                   // only the tool's own errors
    }
    // The prefix's processes go before it does.
    void cleanupTestCase() { QProcess::execute("wineserver", {"-k"}); }
    void init() { m_c = std::make_unique<Collection>(); }
    void cleanup() { m_c.reset(); }

private:
    // The run control as the user sees it: the button's text, the busy indicator, the colour.
    QString runState()
    {
        // The busy indicator is the window's only label of its own; the form's are deeper down.
        const bool busy = m_c->window()->findChild<QLabel *>({}, Qt::FindDirectChildrenOnly);
        return m_c->go()->text() + (busy ? " busy " : " ") + m_c->go()->styleSheet();
    }

    // The panel as a user drives it: "right name"/"left name" clicks a widget ("window": the
    // window), "select Key" picks a system, "rmdir Key" removes that system's ROM directory,
    // "textEdit=text" fills the output area; anything else is a field for fillIn().
    void apply(const QString &step)
    {
        MainWindow *window = m_c->window();
        const QString verb = step.section(u' ', 0, 0), object = step.section(u' ', 1);
        if (verb == "right" || verb == "left") {
            QVERIFY(QTest::qWaitForWindowActive(window));
            QWidget *target = object == "window" ? window : window->findChild<QWidget *>(object);
            QTest::mouseClick(target, verb == "right" ? Qt::RightButton : Qt::LeftButton, {},
                              target == window ? QPoint(5, 300) : QPoint());
        } else if (verb == "select") {
            m_c->select(object);
        } else if (verb == "rmdir") {
            QVERIFY(QDir(m_c->romDir(object)).removeRecursively());
        } else if (step.startsWith("textEdit=")) {
            window->findChild<QTextEdit *>("textEdit")->setPlainText(step.section(u'=', 1));
        } else {
            fillIn(window, step);
        }
    }

    // The system a run uses, "Run" unless said otherwise: none (""), a tool file that is no
    // program ("-"), the substitute tool on "Gen" or "NES" (the user's own duplicate in NESDupes),
    // a Windows tool ("wine", run by the real Wine elsewhere; no key without it), echoargs, or a
    // script.
    QString setUpSystem(const QByteArray &tool)
    {
        const QString path = m_c->toolDir() + "GoodRun.exe";
        if (tool == "Gen" || tool == "NES") {
            m_c->addDemoSystem(tool);
            return writeFile(m_c->romDir("NES") + "NESDupes/mine.nes", "") ? tool : "";
        } else if (tool == "wine") {
#ifndef Q_OS_WIN
            if (QStandardPaths::findExecutable("wine").isEmpty())
                return {};
#endif
            if (!QFile::copy(WINTOOL_PATH, path))
                return {};
        } else if (tool == "echoargs") {
            QFile::copy(ECHOARGS_PATH, path);
        } else if (!tool.isEmpty() && tool != "-") {
#ifdef Q_OS_WIN
            return {}; // a shell script
#endif
            writeFile(path, "#!/bin/sh\n" + tool, true);
        }
        if (!tool.isEmpty())
            m_c->addSystem("Run", {}, "GoodRun.exe");
        return "Run";
    }

private slots:
    // The rules, without a window.

    // The words of the command frame's last two: convert comes after the custom text, which
    // stays whole. A NES script past its first run renames; the convert of another system stays.
    void toolArguments()
    {
        // The custom text, convert's label, the selector's text.
        ToolArguments convert{{}, {}, " a  b", "fixnes script", "[NES Nintendo"};
        QCOMPARE(convert.list(), QStringList({" a  b", "fixnes"}));
        convert.fixNesStage = 2;
        QCOMPARE(convert.list(), QStringList({" a  b", "rename"}));
        convert.selectorText = "[SNES Super Nintendo";
        convert.convertLabel = "convert";
        QCOMPARE(convert.list(), QStringList({" a  b", "convert"}));
    }

#ifndef Q_OS_WIN // there the local encoding of a tool is a code page, never UTF-8
    // The reads of one run, each shown before the next, and what is held back at the end. A byte
    // that cannot continue a character cut at the end of a read is shown, not lost; only a byte
    // order mark that opens the output goes.
    void outputPieces()
    {
        ToolOutputDecoder decoder;
        QString text;
        for (const QByteArray &piece : {"\xef\xbb", "\xbfPok\xc3", "\xa9mon\xc3", "\nx\xf1", "\x80",
                                        "y\xff", "\xef\xbb\xbf", "a\r", "\nb\r", "", "c\r"})
            text += decoder.decode(piece);
        QCOMPARE(text + decoder.flush(),
                 "Pok\u00e9mon\ufffd\nx\ufffd\ufffdy\ufffd\ufeffa\r\nb\rc\r");
        // After dropped output, what was begun before the gap belongs to nothing.
        QCOMPARE(decoder.decode("a\r\xc3"), "a");
        decoder.reset();
        QCOMPARE(decoder.decode("\xa9x") + decoder.flush(), "\ufffdx");
    }
#endif

    // A zero byte cuts the rest of its read; beyond the limit whole lines go from the front.
    // Reads pile up, then are taken three bytes at a time ("!" first when output was dropped).
    void pendingOutput()
    {
        const auto taken = [](int limit, const QByteArrayList &reads) {
            PendingToolOutput pending(limit);
            for (const QByteArray &read : reads)
                pending.addRead(read);
            QByteArray taken = pending.takeDropped() ? "!" : "";
            while (pending.size() > 0)
                taken += pending.take(3);
            return taken;
        };
        // Right at the limit: what a zero byte cuts takes no room.
        QCOMPARE(taken(3, {QByteArray("ab\0xxxxxxxxx", 12), QByteArray("\0d", 2), "e"}), "abe");
        // Whole lines go from the front; of a long last line, its end.
        QCOMPARE(taken(8, {"one\ntwo\n", "three\n", "abcdefgh\n"}), "!bcdefgh\n");
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
        row("rename", {"rename", "dirs"}, {"rename", "dirs"}, "34568");
        row("move; hidden options count",
            {"move", "inplace", "sepXchar=_", "sepX", "logmsgs", "nodb", "right changes", "changes",
             "forceDC", "configComboBox=[Gen", "config"},
            {"move", "inplace", "sep_", "logmsgs", "nodb", "changes-", "forceDC", "config", "Gen"},
            "346");
        row("audit 4; sort and uniq are no words", {"audit", "comboBox_2=4", "sort", "uniq"},
            {"audit4"}, "49");
        row("convert kept on GBA", {"select NES", "convert", "select GBA"}, {"fixnes"}, "4");
        row("Gen converts", {"select NES", "convert", "select Gen"}, {"convert"}, "4 convert");
        row("a new command clears",
            {"rename", "inplace", "quiet", "configComboBox=[NES", "config", "sepXchar=-",
             "textEdit=last run", "list", "customRB", "sepX", "config"},
            {"list", "", "sep", "config", "GBA"}, "345689 deep");
        row("Clear clears all but what is shown",
            {"audit", "comboBox_2=4", "customRB", "custom=x", "uniq", "forcexbox",
             "textEdit=last run", "Clear", "forcexbox"},
            {"forcexbox"}, "345689 deep");
        row("right click: listd; twice: changesnew",
            {"right list", "list", "right changesnew", "right changesnew", "changesnew"},
            {"listd", "changesnew"}, "4");
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
        QVERIFY(m_c->startWindow());
        for (const QString &step : steps)
            apply(step);
        QCOMPARE(m_c->window()->buildArguments(), arguments);
        QString state;
        for (const char *name :
             {"frame_3", "frame_4", "frame_5", "frame_6", "frame_8", "frame_9", "deep", "convert"})
            if (m_c->window()->findChild<QWidget *>(name)->isVisible())
                state += name[0] == 'f' ? QString(QChar(name[6])) : u' ' + QString(name);
        QCOMPARE((state + u' ' + m_c->output()).trimmed(), shown);
    }

    // Runs from the panel. Steps other than the panel's: "Go" clicks it, "double click" too,
    // "running" sees a line while the tool runs, "Stop" clicks the button, "click()" calls it,
    // "preview" is the menu's, "close" closes the window. After each step as many copies of the
    // tool run as should; a Go that is the last step waits for the end.
    void run_data()
    {
        QTest::addColumn<QByteArray>("tool"); // as setUpSystem takes it
        QTest::addColumn<QStringList>("steps");
        // The output at the end (%1 the tool directory, %2 the ROM directory, %3 the same as Wine
        // shows it), or the message boxes seen, "title: text", one a line.
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QByteArray &tool, const QStringList &steps,
                            const QString &expected) {
            QTest::newRow(name) << tool << steps << expected;
        };
        row("no arguments; no system", "", {"Go", "list", "Go"},
            "Warning: Error: No args selected\n"
            "Warning: No systems found. Configure Tessary under Main->Config.");
        row("no program", "-", {"list", "Go"}, "Can not start %1GoodRun.exe\n%4");
        // The tool never runs in the directory the last run left current.
        row("ROM directory gone", "echoargs", {"rmdir Run", "list", "Go"},
            "Can not start %1GoodRun.exe\nThe ROM directory %2/ does not exist.");
        row("arguments arrive whole", "echoargs",
            {"rename", "customRB", "custom= two  \"words\" 'x' \\", "configComboBox=", "config",
             "textEdit=last run", "Go"},
            "1:[rename]\n2:[ two  \"words\" 'x' \\]\n3:[config]\n4:[]\ncwd:[%2]\n");
        row("waiting for ENTER", "read l; echo \"read [$l]\"", {"list", "Go"}, "read []\n");
        row("zero bytes cut their own read",
            "exec '" ODDTOOL_PATH "' reads 'one@cut' '@' 'two\n@three' 'four\n'", {"list", "Go"},
            "Some output dropped: the tool wrote a zero byte.\nonetwo\nfour\n");
        row("dies with Tessary", "exec '" ODDTOOL_PATH "' deathsig", {"list", "Go"},
            "death signal 9\n");
        // A tool that fails says so below its output, which alone is tidied, with the last lines
        // of its standard error.
        row("fails", "printf '[b]\\n[a]\\n[b]\\n'; printf '%05000d\\n[0] why' 0 >&2; exit 2",
            {"audit", "comboBox_2=4", "sort", "uniq", "Go"},
            "\n[a]\n[b]\nGoodRun.exe ended with exit code 2.\n[0] why");
        row("crashes", "echo out; kill -SEGV $$", {"list", "Go"}, "out\nGoodRun.exe crashed.");
        row("real Wine", "wine",
            {"rename", "customRB", "custom= two  \"words\" here", "configComboBox=", "config",
             "Go"},
            "1:[rename]\n2:[ two  \"words\" here]\n3:[config]\n4:[]\ncwd:[%3]\n"
            "Pokémon Blue (E) [!]\nCafé € – ½ (J)\n");
        row("real Wine, failing", "wine", {"audit", "Go"},
            "unknown command\nGoodRun.exe ended with exit code 2.\nCafé does not know audit\n");
        // One of the two boxes is enough: the report, below its head, keeps the order seen.
        row("audit, de-duplicated in the order seen", "Gen",
            {"audit", "comboBox_2=3", "uniq", "Go"},
            "Audit 3 of the Sega Genesis/Mega Drive collection\n"
            "Database version 0.1 DEMO with 13 known ROMs\n10 files seen\n"
            "You have 8 of 13 known ROMs, listed in GenHave.txt\n"
            "You are missing 5 of 13 wanted ROMs, listed in GenMiss.txt\n\n"
            "(U)\n(E)\n(J)\n(JU)\n(PD)\n");
        // Every fixed ROM in NESRen, the user's NESDupes back.
        row("NES script", "NES", {"convert", "Go"}, "fixnes script complete");
        // Runs ended early, the output kept as it stood. The substitute waits a minute after
        // each file, and writes its lists at the end only.
        row("closing the window", "Gen", {"rename", "Go", "running", "close"}, "");
        row("double click, preview during the run, click()", "Gen",
            {"rename", "double click", "running", "preview", "click()"},
            "Warning: A tool is running. Preview Available Roms once it has ended.");
        row("two previews, Go during them, closing", "Gen",
            {"list", "preview", "preview", "Go", "close"},
            "Warning: Preview Available Roms is running. Press Go once it has ended.");
        // An earlier preview's list is there: a tool that finds it ends well without a list of
        // its own; one that finds none writes a list and fails. Neither list may show.
        row("failed preview",
            "test -e RunMiss.txt && exit 0; echo 'a\nb\nfresh' >RunMiss.txt; exit 3", {"preview"},
            "Preview Available Roms failed: the tool ended with exit code 3.");
        row("real Wine, Stop", "wine", {"list", "Go", "running", "Stop"}, "");
        // What the tool started goes too, even when it does not listen to the polite request.
        const QByteArray forks = "trap '' TERM; [ \"$1\" = child ] && while sleep 1; do :; done\n"
                                 "\"$0\" child & echo forked; wait";
        row("forks, Stop", forks, {"list", "Go", "running", "Stop"}, "");
        row("forks, closing", forks, {"list", "Go", "running", "close"}, "");
        // A tool that a kill does not end, like one stuck on a drive that no longer answers, holds
        // up neither Stop (which says so) nor the closing window.
        const QByteArray held = "exec '" ODDTOOL_PATH "' held";
        row("held tool, Stop", held, {"list", "Go", "running", "Stop"}, "");
        row("held tool, closing", held, {"list", "Go", "running", "close"}, "");
    }
    void run()
    {
        QFETCH(QByteArray, tool);
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        const QString key = setUpSystem(tool);
        if (key.isEmpty())
            QSKIP("needs wine and a Windows tool built by x86_64-w64-mingw32-gcc, or a shell");
        QString error; // for the preview to list
        QVERIFY(!writeMissingRoms(demoSystem("Gen"), QDir::tempPath() + u'/', &error).isEmpty());
        QVERIFY(writeFile(QDir::tempPath() + "/RunMiss.txt", "h\n\nan earlier preview's\n"));
        const QString current = QDir::currentPath(); // no run may change it
        const bool toTheEnd = steps.constLast() == "Go" || steps.constLast() == "preview";
        qputenv("GOODTOOL_PACE_MS", toTheEnd ? "0" : "60000");
        MessageBoxAnswerer answerer;
        QVERIFY(m_c->startWindow());
        const QByteArray ours = QFile::encodeName(QDir(m_c->root()).dirName());
        const bool forked = tool.contains("child &");
        QString output;
        for (const QString &step : steps) {
            if (step == "Go" || step == "double click") {
                m_c->clickGo();
                if (step == "double click") { // Qt's press, release, double click, release
                    QTest::mouseDClick(m_c->go(), Qt::LeftButton);
                    QTest::mouseRelease(m_c->go(), Qt::LeftButton);
                }
                if (!toTheEnd)
                    continue; // a run may end at once
                QVERIFY(m_c->waitForGo(240000));
            } else if (step == "running") {
                QTRY_VERIFY_WITH_TIMEOUT(m_c->output().endsWith(u'\n'), 240000);
                QCOMPARE(runState(), "Stop busy * { background-color: rgb(255,0,0) }");
            } else if (step == "preview") {
                m_c->trigger("actionPreview_Available_Roms");
                if (m_c->go()->text() == "Stop") // refused
                    QCOMPARE(m_c->output(), output);
                if (toTheEnd)
                    QTRY_VERIFY(!m_c->output().isEmpty());
            } else if (step == "close") {
                m_c->closeWindow();
            } else if (step == "Stop" || step == "click()") {
                step == "Stop" ? m_c->clickGo() : m_c->go()->click();
                QTRY_COMPARE(runState(), Idle);
                const QString note = "GoodRun.exe could not be ended. It may still be working in " +
                                     QDir::cleanPath(m_c->romDir(key)) + '.';
                // Nothing more once stopped, unless the tool could not be ended.
                QCOMPARE(m_c->output(), output + (output.contains(" held by ") ? note : ""));
            } else {
                apply(step);
                continue;
            }
            output = m_c->window() ? m_c->output() : output;
            // A second preview ends the first. A held tool is still there, as it should be. Once
            // a run has ended, nothing it started runs.
            const bool busy =
                m_c->window() && (m_c->go()->text() == "Stop" || (step == "preview" && !toTheEnd));
            if (busy)
                QTRY_COMPARE(running("Good", ours), tool.contains("held") ? 0 : forked ? 2 : 1);
            else
                QCOMPARE(running("Good", ours), 0);
        }
        const QString romDir = QDir::cleanPath(m_c->romDir(key));
        // Messages show paths as the system writes them.
        const auto shown = [&expected](const QString &path) {
            return expected.startsWith("Can not") ? QDir::toNativeSeparators(path) : path;
        };
        expected.replace("%1", shown(m_c->toolDir())).replace("%2/", shown(romDir + u'/'));
#ifdef Q_OS_WIN
        const QString drive,
            cannotRun = "Process failed to start: " + qt_error_string(ERROR_BAD_EXE_FORMAT);
#else
        const QString drive = "Z:", cannotRun = "execvp: Permission denied";
#endif
        expected.replace("%2", romDir).replace("%4", cannotRun);
        expected.replace("%3", drive + QString(romDir).replace(u'/', u'\\'));
        if (key == "NES") { // the script goes on through its stages
            QTRY_COMPARE_WITH_TIMEOUT(m_c->output(), expected, 60000);
            output = expected;
            QCOMPARE(m_c->window()->buildArguments(), QStringList{"fixnes"}); // it starts over
            QCOMPARE(QDir(romDir + "/NESDupes").entryList(QDir::Files), QStringList{"mine.nes"});
            const QStringList fixed = QDir(romDir + "/NESRen").entryList(QDir::Files);
            QCOMPARE(fixed.size(), 7); // each with its header fixed
            for (const QString &name : fixed)
                QVERIFY2(!Ines::hasJunk(readFile(romDir + "/NESRen/" + name)), qPrintable(name));
        }
        QCOMPARE(answerer.seen.isEmpty() && toTheEnd ? output : answerer.seen.join(u'\n'),
                 expected);
        if (steps.constLast() == "Go" && answerer.seen.isEmpty())
            QCOMPARE(runState(), Idle);
        QCOMPARE(QDir::currentPath(), current);
        QVERIFY(toTheEnd || !QFile::exists(m_c->romDir("Gen") + "GenHave.txt"));
        if (!tool.contains("held"))
            return;
#ifndef Q_OS_WIN
        if (output == "not held\n")
            QSKIP("no process tracing here");
        const int helper =
            output.section(u'\n', 0, 0).section(u' ', 4).toInt(); // "tool <pid> held by <pid>"
        // The helper lets go after 20 seconds: a window that waited for the tool saw it end.
        // Its state letter is 'S' (sleeping), not 't' (held by its tracer) nor gone.
        const QByteArray state = readFile(QStringLiteral("/proc/%1/stat").arg(helper));
        QVERIFY2(state.contains(") S "), "the window waited for the held tool");
        ::kill(helper, SIGKILL); // and the tool with it
#endif
    }

#ifdef Q_OS_WIN
    // Stop ends a tool's job: the tool and the program it started. So does the job's end, as
    // when Tessary ends.
    void windowsJob()
    {
        for (const bool stop : {true, false}) {
            QProcess tool;
            auto job = std::make_unique<WindowsJob>();
            job->prepare(&tool);
            tool.start(WINTOOL_PATH, {"spawn"});
            QVERIFY(job->adopt(&tool));
            QVERIFY(tool.waitForReadyRead(60000));
            const auto child = DWORD(tool.readLine().split(' ').value(1).trimmed().toULong());
            const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, child);
            QVERIFY(handle);
            stop ? job->terminate() : job.reset();
            const bool ended = WaitForSingleObject(handle, 10000) == WAIT_OBJECT_0;
            CloseHandle(handle);
            QVERIFY2(ended && tool.waitForFinished(10000), stop ? "Stop" : "Tessary ends");
        }
    }
#endif

    // Output beyond the limit of 4 KiB: the end of it is on show in whole lines, under a note,
    // and nothing shown before it stays.
#ifndef Q_OS_WIN // the tool is a shell script
    void outputBeyondLimit()
    {
        // Without a Good*.exe Directory the tool is found in the folder it runs in. What shows
        // after the note matches the pattern `kept`.
        const auto flood = [this](const QByteArray &tool, const QString &kept) {
            QVERIFY(writeFile(m_c->root() + "GoodFlood", "#!/bin/sh\n" + tool, true));
            QTextEdit area;
            QPointer<Process> process =
                new Process({}, "GoodFlood", m_c->root(), {}, &area, false, 4096);
            const QString note = "Earlier output dropped: only the last 4 KiB are kept.\n";
            QTRY_VERIFY(area.toPlainText().startsWith(note));
            QTest::qWait(200); // many more reads
            if (process)
                process->stop();
            QTRY_VERIFY(process.isNull());
            const QRegularExpression whole(u'^' + QRegularExpression::escape(note) + kept + u'$');
            QVERIFY2(whole.match(area.toPlainText()).hasMatch(), qPrintable(area.toPlainText()));
        };
        // Without end, stopped: 4 KiB hold 16 lines of 7 digits and a line end; the stop may cut
        // the last one short.
        flood("exec awk 'BEGIN { for (i = 1; ; i++) printf \"%07d\\n\", i }'",
              "(\\d{7}\n){1,16}\\d{0,7}");
        // A line shown, then a flood in one read.
        flood("echo shown; sleep 1; exec '" ODDTOOL_PATH "' reads \"$(printf '%05000d\\ntail' 0)\"",
              "tail");
    }
#endif
};

QTEST_MAIN(tst_Runner)
#include "tst_runner.moc"
