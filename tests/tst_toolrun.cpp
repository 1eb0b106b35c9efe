#include "app/mainwindow.h"
#include "demo/democollection.h"
#include "goodtool/romdatabase.h"
#include "runner/auditoutput.h"
#include "runner/process.h"
#include "testhelpers.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <csignal>

using namespace TestHelpers;

namespace {

const QString Idle = QStringLiteral("Go * { background-color: rgb(85, 255, 127) }");
const QString Running = QStringLiteral("Stop busy * { background-color: rgb(255,0,0) }");

// The numbers of the lines from `lines` down to 1 as "[0000123]", each printed twice, as fast
// as awk can: far faster than the output area takes them.
const QByteArray FloodScript = "#!/bin/sh\nexec awk -v n=\"$1\" 'BEGIN { for (i = n; i > 0; i--) "
                               "printf \"[%07d]\\n[%07d]\\n\", i, i }'\n";

QString floodText(long lines)
{
    QString text;
    for (long i = lines; i > 0; --i)
        text += QStringLiteral("[%1]\n").arg(i, 7, 10, QLatin1Char('0')).repeated(2);
    return text;
}

bool writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           (!executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(dir.size());
    files.sort();
    return files;
}

// The state letter of a process ('S' sleeping, 't' held by its tracer, 'Z' ended but not yet
// reaped), or '-' when there is no such process.
char processState(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd < 0 || nameEnd + 2 >= line.size() ? '-' : line.at(nameEnd + 2);
}

// How many processes run the program at `path`, read from /proc.
int runningCopies(const QString &path)
{
    int copies = 0;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QFileInfo exe(QStringLiteral("/proc/%1/exe").arg(pid));
        copies += exe.isSymLink() && exe.symLinkTarget() == canonical;
    }
    return copies;
}

} // namespace

// Tool runs from click to result, with the substitute GoodTool, shell scripts and a program that
// echoes the arguments it gets.
class tst_ToolRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void auditOutputIsDeduplicatedAndSorted();
    void stopOrCloseKillsTheTool_data();
    void stopOrCloseKillsTheTool();
    void stuckToolHoldsNothingUp_data();
    void stuckToolHoldsNothingUp();
    void runsThatCannotStart();
    void argumentsArriveIntact();
    void processRun_data();
    void processRun();
    void fixnesScript_data();
    void fixnesScript();
    void floodIsShownAsPrinted_data();
    void floodIsShownAsPrinted();
    void relativePathsKeepEachSystemInItsFolder();
    void outputIsBounded_data();
    void outputIsBounded();

private:
    QString root() const { return m_root->path() + u'/'; }
    QString toolDir() const { return root() + QLatin1String("tools/"); }
    QString romDir(const QString &key) const { return root() + key + QLatin1String(" roms/"); }
    void installSystem(const QString &key);
    void addSystem(const QString &key, const QString &toolName)
    {
        QVERIFY(QDir().mkpath(romDir(key)));
        m_settings += QStringLiteral("[%1=%1 System\nRom Path=%2\nFile Name=%3\n\n")
                          .arg(key, romDir(key), toolName);
    }
    void startWindow(const QString &system = QString());
    void select(const QString &system);
    void clickGo() { QTest::mouseClick(go(), Qt::LeftButton); }
    bool waitForGo(int ms = 20000)
    {
        return QTest::qWaitFor([&] { return go()->text() == QLatin1String("Go"); }, ms);
    }
    QPushButton *go() { return child<QPushButton>(m_window.get(), "Go"); }
    QString shown() { return child<QTextEdit>(m_window.get(), "textEdit")->toPlainText(); }
    QAbstractButton *button(const char *name)
    {
        return child<QAbstractButton>(m_window.get(), name);
    }
    QString runState();
    QString runTool(const QString &toolName, const QString &romPath, QStringList arguments);

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_settings;
    QByteArray m_path;
    QByteArray m_tmpDir;
    std::unique_ptr<MainWindow> m_window;
};

void tst_ToolRun::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(toolDir()));
    m_settings = QStringLiteral("Good*.exe Directory=%1\nSame as Rom Path=false\n"
                                "Check Version At Startup=false\nLoad Summary At Startup=false\n\n")
                     .arg(toolDir());
    m_path = qgetenv("PATH");
    // Previews write into the temporary directory: one of the test's own.
    m_tmpDir = qgetenv("TMPDIR");
    QVERIFY(QDir().mkpath(root() + QStringLiteral("tmp")));
    qputenv("TMPDIR", root().toLocal8Bit() + "tmp");
}

void tst_ToolRun::cleanup()
{
    m_window.reset();
    removeSettings();
    qunsetenv("GOODTOOL_PACE_MS");
    qputenv("PATH", m_path);
    qputenv("TMPDIR", m_tmpDir); // empty is as good as unset
}

// A demo system: the substitute tool as Good<key>.exe with its database, and its ROM files.
void tst_ToolRun::installSystem(const QString &key)
{
    const DemoSystem system = demoSystem(key);
    QString error;
    QVERIFY2(installDemoTool(system, GOODTOOL_PATH, toolDir(), &error), qPrintable(error));
    addSystem(key, QLatin1String("Good") + key + QLatin1String(".exe"));
    QVERIFY2(!writeMissingRoms(system, romDir(key), &error).isEmpty(), qPrintable(error));
}

void tst_ToolRun::startWindow(const QString &system)
{
    QVERIFY(writeSettings(m_settings.toUtf8()));
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    if (!system.isEmpty())
        select(system);
}

void tst_ToolRun::select(const QString &system)
{
    auto *selector = child<QComboBox>(m_window.get(), "selectSystemComboBox");
    const int index = selector->findText(QLatin1Char('[') + system + u' ', Qt::MatchStartsWith);
    QVERIFY(index >= 0);
    selector->setCurrentIndex(index);
}

// The run control as the user sees it: the button's text, the busy indicator, the colour.
QString tst_ToolRun::runState()
{
    QString indicator;
    for (QLabel *label : m_window->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->movie())
            indicator = label->isVisible() ? QStringLiteral(" busy") : QStringLiteral(" hidden");
    }
    return go()->text() + indicator + u' ' + go()->styleSheet();
}

// Runs a tool through Process alone and returns what it printed, and what it left unread.
QString tst_ToolRun::runTool(const QString &toolName, const QString &romPath, QStringList arguments)
{
    QTextEdit area;
    auto *process = new Process(toolDir(), toolName, romPath, &arguments, &area, false);
    qint64 unread = 0;
    connect(process, &Process::finished, this,
            [&unread, process] { unread = process->bytesAvailable(); });
    QSignalSpy gone(process, &QObject::destroyed);
    if (!gone.wait(20000))
        return QStringLiteral("<still running>");
    return unread ? area.toPlainText() + QStringLiteral("<%1 unread>").arg(unread)
                  : area.toPlainText();
}

// The substitute tool from start to end, twice: the plain audit, streamed while the tool runs,
// and the same audit deduplicated and sorted.
void tst_ToolRun::auditOutputIsDeduplicatedAndSorted()
{
    installSystem("Gen");
    startWindow();
    QString outputs[2];
    for (bool tidy : {false, true}) {
        button("audit")->setChecked(true);
        child<QComboBox>(m_window.get(), "comboBox_2")->setCurrentIndex(3);
        button("uniq")->setChecked(tidy);
        button("sort")->setChecked(tidy);
        qputenv("GOODTOOL_PACE_MS", tidy ? "0" : "100"); // long enough to see the run go on
        clickGo();
        QCOMPARE(runState(), Running);
        if (!tidy) {
            QTRY_VERIFY(!shown().isEmpty());
            QCOMPARE(runState(), Running); // the output shows while the tool runs
        }
        QVERIFY(waitForGo());
        QCOMPARE(runState(), Idle);
        outputs[tidy] = shown();
    }
    // The report's lines after the header come back sorted and once each.
    QVERIFY(outputs[1].size() < outputs[0].size());
    QCOMPARE(outputs[1], processAuditOutput(outputs[0], u'(', true, true));
}

void tst_ToolRun::stopOrCloseKillsTheTool_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("Stop") << QStringList{"Go", "Stop"};
    QTest::newRow("closing the window") << QStringList{"Go", "close"};
    QTest::newRow("double click, then click()") << QStringList{"double click", "click()"};
    QTest::newRow("preview during the run, then Stop") << QStringList{"Go", "preview", "Stop"};
    QTest::newRow("two previews, then closing") << QStringList{"preview", "preview", "close"};
}

// A rename, and a preview, that wait a minute after each file; each step leaves as many copies
// of the tool running as it should.
void tst_ToolRun::stopOrCloseKillsTheTool()
{
    QFETCH(QStringList, steps);
    if (!QFileInfo::exists(QStringLiteral("/proc/self/exe")))
        QSKIP("no /proc to look for processes");
    installSystem("Gen");
    QString error;
    QVERIFY2(!writeMissingRoms(demoSystem("Gen"), QDir::tempPath() + u'/', &error).isEmpty(),
             qPrintable(error)); // for the preview to list
    startWindow();
    button("rename")->setChecked(true);
    qputenv("GOODTOOL_PACE_MS", "60000");
    const QString tool = toolDir() + QStringLiteral("GoodGen.exe");
    for (const QString &step : steps) {
        const QString before = shown();
        if (step == QLatin1String("Go") || step == QLatin1String("double click")) {
            clickGo();
            if (step == QLatin1String("double click")) {
                // Qt delivers a double click as press, release, double click, release.
                QTest::mouseDClick(go(), Qt::LeftButton);
                QTest::mouseRelease(go(), Qt::LeftButton);
            }
            QTRY_VERIFY(!shown().isEmpty());
            QCOMPARE(runState(), Running);
            QCOMPARE(runningCopies(tool), 1);
        } else if (step == QLatin1String("preview") && go()->text() == QLatin1String("Stop")) {
            MessageSeen seen;
            acceptNextMessageBox(&seen);
            child<QAction>(m_window.get(), "actionPreview_Available_Roms")->trigger();
            QCOMPARE(seen.title + u'|' + seen.text,
                     QStringLiteral("Warning|A tool is running. Preview Available Roms once it "
                                    "has ended."));
            QCOMPARE(runningCopies(tool), 1);
            QCOMPARE(shown(), before);
        } else if (step == QLatin1String("preview")) {
            child<QAction>(m_window.get(), "actionPreview_Available_Roms")->trigger();
            QTRY_COMPARE(runningCopies(tool), 1); // a second preview ends the first
        } else if (step == QLatin1String("close")) {
            m_window.reset();
        } else {
            step == QLatin1String("Stop") ? clickGo() : go()->click();
            QCOMPARE(runState(), Idle);
            QCOMPARE(shown(), before);
        }
    }
    QCOMPARE(runningCopies(tool), 0);
    // The tool writes its lists at the end: killed after its first file, it wrote none.
    QVERIFY(!QFile::exists(romDir("Gen") + QStringLiteral("GenHave.txt")));
}

void tst_ToolRun::stuckToolHoldsNothingUp_data()
{
    QTest::addColumn<bool>("closeWindow");
    QTest::newRow("Stop") << false;
    QTest::newRow("closing the window") << true;
}

// A tool that a kill does not end at once, like one stuck on a drive that no longer answers: Go
// comes back, or the window goes, while the tool is still held in its exit. Let go, it is reaped.
void tst_ToolRun::stuckToolHoldsNothingUp()
{
    QFETCH(bool, closeWindow);
    QVERIFY(writeFile(toolDir() + QStringLiteral("GoodHeld"),
                      "#!/bin/sh\nexec '" ODDTOOL_PATH "' held\n", true));
    addSystem("Held", "GoodHeld");
    startWindow();
    button("rename")->setChecked(true);
    clickGo();
    QTRY_VERIFY(shown().endsWith(u'\n'));
    if (shown() == QLatin1String("not held\n"))
        QSKIP("no process tracing here");
    const QStringList words = shown().split(u' '); // "tool <pid> held by <pid>"
    const int tool = words.value(1).toInt();
    const int helper = words.value(4).toInt();
    QVERIFY2(tool > 0 && helper > 0, qPrintable(shown()));
    if (closeWindow) {
        m_window.reset();
    } else {
        clickGo();
        QCOMPARE(runState(), Idle);
    }
    // The helper lets go after 20 seconds: a window that waited for the tool saw it end.
    QVERIFY2(processState(helper) == 'S', "the window waited for the held tool");
    if (processState(tool) != 't')
        QSKIP("this system ends a killed tool at once");
    ::kill(helper, SIGKILL);
    QTRY_COMPARE(processState(tool), '-');
}

void tst_ToolRun::runsThatCannotStart()
{
    startWindow(); // no system at all
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    clickGo();
    QCOMPARE(seen.text, QStringLiteral("Error: No args selected"));
    button("list")->setChecked(true);
    acceptNextMessageBox(&seen);
    clickGo();
    QCOMPARE(seen.text, QStringLiteral("No systems found. Configure Tessary under Main->Config."));
    QCOMPARE(go()->text(), QStringLiteral("Go"));

    // A tool that is no program; then, once a run has made NES's directory the current one, a
    // system whose ROM directory is gone: its tool must not run in NES's directory instead.
    QVERIFY(writeFile(toolDir() + QStringLiteral("GoodText.exe"), "not a program\n"));
    addSystem("Text", "GoodText.exe");
    installSystem("NES");
    installSystem("Gen");
    startWindow("Text");
    button("list")->setChecked(true);
    clickGo();
    QTRY_VERIFY(shown().startsWith(QStringLiteral("Can not start %1GoodText.exe").arg(toolDir())));
    QCOMPARE(runState(), Idle);

    select("NES");
    clickGo();
    QVERIFY(waitForGo());
    const QStringList nesFiles = filesBelow(romDir("NES"));
    QVERIFY(QDir(romDir("Gen")).removeRecursively());
    select("Gen");
    button("rename")->setChecked(true);
    clickGo();
    QTRY_VERIFY(shown().startsWith(QStringLiteral("Can not start ")));
    QVERIFY(shown().endsWith(
        QStringLiteral("The ROM directory %1 does not exist.").arg(romDir("Gen"))));
    QCOMPARE(runState(), Idle);
    QCOMPARE(filesBelow(romDir("NES")), nesFiles);
}

void tst_ToolRun::argumentsArriveIntact()
{
    QVERIFY(QFile::copy(ECHOARGS_PATH, toolDir() + QStringLiteral("GoodEcho.exe")));
    addSystem("Echo", "GoodEcho.exe");
    startWindow();
    button("rename")->setChecked(true);
    button("customRB")->setChecked(true); // each command change empties the custom text
    child<QLineEdit>(m_window.get(), "custom")->setText(QStringLiteral(" two  \"words\" 'x' \\"));
    child<QComboBox>(m_window.get(), "configComboBox")->clear(); // an empty section argument
    button("config")->setChecked(true);
    clickGo();
    QVERIFY(waitForGo());
    QCOMPARE(shown(), QStringLiteral("1:[rename]\n2:[ two  \"words\" 'x' \\]\n3:[config]\n4:[]\n"
                                     "cwd:[%1]\n")
                          .arg(QDir::cleanPath(romDir("Echo"))));
}

void tst_ToolRun::processRun_data()
{
    QTest::addColumn<bool>("throughWine");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("inTemp");
    QTest::addColumn<QString>("expected"); // %1 the tool directory, %2 the ROM directory
    const auto row = [](const char *name, bool wine, const QByteArray &script,
                        const QStringList &arguments, const QString &expected,
                        bool inTemp = false) {
        QTest::newRow(name) << wine << script << arguments << inTemp << expected;
    };
    // A native tool speaks the local encoding, UTF-8 here; one under Wine its Windows code page.
    row("native UTF-8", false, "printf 'Pok\303\251mon \342\202\254\\n'", {}, "Pokémon €\n");
    row("Wine Windows-1252", true, "printf 'Pok\351mon \200 \226 \275\\r\\n'", {},
        "Pokémon € – ½\n");
    row("Wine arguments", true, "exec '" ECHOARGS_PATH "' \"$@\"",
        {QString(), "a b", "\"q\"", "$HOME"},
        "1:[%1GoodWin.exe]\n2:[]\n3:[a b]\n4:[\"q\"]\n5:[$HOME]\ncwd:[%2]\n");
    // Tessary never writes to a tool: one that waits for ENTER reads end-of-file.
    row("waits for ENTER", false, "read line; echo \"read [$line]\"", {}, "read []\n");
    row("preview in the temporary directory", false, "echo shown", {}, QString(), true);
    // A zero byte cuts the rest of its own read of the pipe, not the reads after it.
    row("zero bytes", false, "exec '" ODDTOOL_PATH "' reads 'one@cut' '@' 'two\n@three' 'four\n'",
        {}, "onetwo\nfour\n");
    // Short lines, so that many slices end between a CR and its LF.
    QString lines;
    for (int i = 0; i < 40000; ++i)
        lines += QString::number(i) + u'\n';
    row("CR LF flood", false,
        "exec awk 'BEGIN { for (i = 0; i < 40000; i++) printf \"%d\\r\\n\", i }'", {}, lines);
}

// Runs through Process alone; a Windows tool is any file that starts with "MZ", run by the
// "wine" found on the search path, here the script.
void tst_ToolRun::processRun()
{
    QFETCH(bool, throughWine);
    QFETCH(QByteArray, script);
    QFETCH(QStringList, arguments);
    QFETCH(bool, inTemp);
    QFETCH(QString, expected);
    if (!throughWine && QStringEncoder(QStringConverter::System)(expected) != expected.toUtf8())
        QSKIP("the local encoding is not UTF-8");
    const QString tool = throughWine ? QStringLiteral("GoodWin.exe") : QStringLiteral("GoodNative");
    if (throughWine) {
        QVERIFY(writeFile(toolDir() + tool, QByteArray("MZ\x90\0 not really a program", 25)));
        QVERIFY(QDir().mkpath(root() + QStringLiteral("bin")));
        QVERIFY(writeFile(root() + QStringLiteral("bin/wine"), "#!/bin/sh\n" + script, true));
        qputenv("PATH", root().toLocal8Bit() + "bin:" + m_path);
    } else {
        QVERIFY(writeFile(toolDir() + tool, "#!/bin/sh\n" + script, true));
    }
    const QString romPath = inTemp ? QDir::tempPath() : root();
    QCOMPARE(runTool(tool, romPath, arguments), expected.arg(toolDir(), QDir::cleanPath(romPath)));
    QCOMPARE(QDir::currentPath(), QDir::cleanPath(romPath)); // the tool ran there
}

void tst_ToolRun::fixnesScript_data()
{
    QTest::addColumn<bool>("stop");
    QTest::newRow("run through") << false;
    QTest::newRow("every stage stopped") << true;
}

void tst_ToolRun::fixnesScript()
{
    QFETCH(bool, stop);
    installSystem("NES");
    const QString dir = romDir("NES");
    // The user's own duplicates are put aside during the script and come back afterwards.
    QVERIFY(QDir().mkpath(dir + QStringLiteral("NESDupes")));
    QVERIFY(writeFile(dir + QStringLiteral("NESDupes/mine.nes"), QByteArray()));
    startWindow("NES");
    button("convert")->setChecked(true);
    QCOMPARE(m_window->buildArguments(), QStringList{"fixnes"});
    qputenv("GOODTOOL_PACE_MS", stop ? "60000" : "0");
    clickGo();
    for (int stage = 1; stop && stage <= 3; ++stage) {
        // Each stage's tool run is stopped after its first line (later stages print theirs
        // below the two-line stage message); the file step still follows.
        QTRY_VERIFY(shown().count(u'\n') >= (stage == 1 ? 1 : 2));
        QCOMPARE(runState(), Running);
        clickGo();
        if (stage < 3) {
            QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Stop"), 20000);
            QVERIFY(shown().startsWith(
                QStringLiteral("fixnes script stage %1 complete\nStarting stage %2")
                    .arg(stage)
                    .arg(stage + 1)));
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(shown(), QStringLiteral("fixnes script complete"), 60000);
    QCOMPARE(runState(), Idle);
    QCOMPARE(m_window->buildArguments(), QStringList{"fixnes"}); // it starts over next time
    QCOMPARE(filesBelow(dir + QStringLiteral("NESDupes/")), QStringList{"mine.nes"});
    if (stop)
        return;
    const QStringList files = filesBelow(dir);
    QVERIFY2(files.filter(QStringLiteral(".new.nes")).isEmpty(), qPrintable(files.join(u',')));
    // Every known ROM sits in NESRen under its good name, with a clean header.
    for (const DemoRom &rom : demoSystem("NES").roms) {
        QFile renamed(dir + QStringLiteral("NESRen/") + rom.goodName + QStringLiteral(".nes"));
        QVERIFY(rom.goodName.isEmpty() || renamed.open(QIODevice::ReadOnly));
        QVERIFY2(!Ines::hasJunk(renamed.readAll()), qPrintable(renamed.fileName()));
    }
}

void tst_ToolRun::floodIsShownAsPrinted_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("stop");
    QTest::newRow("to its end, tidied") << 30000 << false;
    QTest::newRow("stopped") << 300000 << true;
}

// A flood run from the panel as a custom command, the number of lines its one argument.
void tst_ToolRun::floodIsShownAsPrinted()
{
    QFETCH(int, lines);
    QFETCH(bool, stop);
    QVERIFY(writeFile(toolDir() + QStringLiteral("GoodFlood"), FloodScript, true));
    addSystem("Flood", "GoodFlood");
    startWindow();
    button("customRB")->setChecked(true);
    child<QLineEdit>(m_window.get(), "custom")->setText(QString::number(lines));
    button("uniq")->setChecked(!stop); // the tidy-up at the end works on what is on show then
    button("sort")->setChecked(!stop);
    clickGo();
    // The window keeps turning while the output is still coming in.
    QTRY_VERIFY_WITH_TIMEOUT(shown().count(u'\n') > 100, 20000);
    QCOMPARE(runState(), Running);
    if (!stop) {
        QVERIFY(waitForGo(120000));
        QCOMPARE(shown(), processAuditOutput(floodText(lines), u'[', true, true));
        return;
    }
    clickGo();
    QCOMPARE(runState(), Idle);
    // What is on show is the tool's output from its start, and nothing comes after the end.
    const QString before = shown();
    QVERIFY(!before.isEmpty());
    QVERIFY(floodText(lines).startsWith(before));
    QTest::qWait(100);
    QCOMPARE(shown(), before);
}

// Relative paths in Tessary.ini start at its own folder, however the runs change the current
// directory: after a run on Gen, NES's lists are still read from NES's folder.
void tst_ToolRun::relativePathsKeepEachSystemInItsFolder()
{
    // The collection lies below the settings folder, as a relative path in it usually leads.
    const QDir settingsFolder(QCoreApplication::applicationDirPath());
    const QString outside = root();
    m_root = std::make_unique<QTemporaryDir>(settingsFolder.filePath(QStringLiteral("rel-XXXXXX")));
    QVERIFY(QDir().mkpath(toolDir()));
    m_settings.replace(outside, root());
    installSystem("NES");
    installSystem("Gen");
    const QString fromSettings = settingsFolder.relativeFilePath(root()) + u'/';
    m_settings.replace(root(), fromSettings);
    QVERIFY(QDir::setCurrent(settingsFolder.path()));
    startWindow("NES");
    button("list")->setChecked(true);
    for (const char *system : {"NES", "Gen"}) {
        select(system);
        clickGo();
        QVERIFY(waitForGo());
        QVERIFY(QFile::exists(romDir(system) + system + QStringLiteral("Have.txt")));
    }

    child<QAction>(m_window.get(), "actionRom_Collection_Summary")->trigger();
    auto *summary = child<QTableWidget>(m_window.get(), "romSummary");
    QCOMPARE(summary->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const QString system = summary->item(row, 0)->text().mid(1);
        QCOMPARE(summary->item(row, 7)->text(), romDir(system));
        QVERIFY2(!summary->item(row, 3)->text().isEmpty(), qPrintable(system)); // Have
    }

    // The dialog shows the paths as they stand in the file, so a save keeps them relative.
    child<QAction>(m_window.get(), "actionConfig")->trigger();
    QWidget *dialog = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("TestConfig"))
            dialog = widget;
    }
    QVERIFY(dialog);
    QCOMPARE(child<QLineEdit>(dialog, "lineEdit")->text(), fromSettings + QStringLiteral("tools/"));
    QCOMPARE(child<QLineEdit>(dialog, "textBoxThree0")->text(),
             fromSettings + QStringLiteral("Gen roms/"));
    delete dialog;
}

void tst_ToolRun::outputIsBounded_data()
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
void tst_ToolRun::outputIsBounded()
{
    QFETCH(int, width);
    QFETCH(bool, endless);
    QFETCH(int, fewest);
    QFETCH(int, most);
    constexpr int Limit = 4096;
    const QByteArray loop = endless ? "i = 1; ; i++" : "i = 20000; i > 0; i--";
    QVERIFY(writeFile(toolDir() + QStringLiteral("GoodFlood"),
                      "#!/bin/sh\nexec awk 'BEGIN { for (" + loop + ") printf \"%0" +
                          QByteArray::number(width) + "d\\n\", i }'\n",
                      true));
    QTextEdit area;
    QStringList arguments;
    QPointer<Process> process = new Process(toolDir(), QStringLiteral("GoodFlood"), root(),
                                            &arguments, &area, false, Limit);
    const QString note = QStringLiteral("Earlier output dropped: only the last 4 KiB are kept.\n");
    if (endless) {
        QTRY_VERIFY(area.toPlainText().startsWith(note));
        QTest::qWait(200); // many more reads
        process->stop();
    }
    QTRY_VERIFY_WITH_TIMEOUT(process.isNull(), 20000);
    QVERIFY(area.toPlainText().startsWith(note));
    // Whole lines that follow each other; a Stop may cut the last one short.
    QStringList lines = area.toPlainText().mid(note.size()).split(u'\n');
    const QString last = lines.takeLast();
    QVERIFY(endless || last.isEmpty());
    QVERIFY2(lines.size() >= fewest && lines.size() <= most, qPrintable(lines.join(u' ')));
    const int first = endless ? lines.first().toInt() : lines.size();
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(lines.at(i), QStringLiteral("%1").arg(endless ? first + i : first - i, width, 10,
                                                       QLatin1Char('0')));
}

QTEST_MAIN(tst_ToolRun)
#include "tst_toolrun.moc"
