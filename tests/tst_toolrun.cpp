#include "app/mainwindow.h"
#include "democollection.h"
#include "romdatabase.h"
#include "runner/auditoutput.h"
#include "runner/process.h"
#include "testhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace TestHelpers;

// Tool runs from click to result, with the substitute GoodTool and a program that echoes the
// arguments it gets: streaming, Stop, the audit tidy-up, tools that cannot start, arguments
// that must arrive as they were typed, and the NES repair script.
class tst_ToolRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void goStreamsOutputAndShowsBusyIndicator();
    void stopKillsTheRun();
    void closingTheWindowKillsTheRun();
    void auditOutputIsDeduplicatedAndSorted();
    void toolThatCannotStartReturnsToGo();
    void vanishedRomDirectoryStopsTheRun();
    void goWithoutArgumentsOrSystems();
    void toolWithoutArgumentsEndsByItself();
    void argumentsArriveIntact();
    void argumentsArriveIntactThroughWine();
    void runInTemporaryDirectoryShowsNothing();
    void fixnesScriptRunsAllStages();
    void fixnesScriptGoesOnAfterStop();
    void floodIsShownWholeBeforeTheRunEnds();
    void floodWithCrLfKeepsItsLines();
    void stopDuringFloodEndsTheRunAtOnce();
    void outputEncodingFollowsHowTheToolStarts_data();
    void outputEncodingFollowsHowTheToolStarts();

private:
    QString root() const { return m_root->path() + u'/'; }
    QString toolDir() const { return root() + QLatin1String("tools/"); }
    QString romDir(const QString &key) const { return root() + key + QLatin1String(" roms/"); }
    void installSystem(const QString &key);
    void installEcho(const QString &toolName);
    void installScript(const QString &toolName, const QByteArray &body);
    void startFlood(long lines);
    void startWindow();
    void startLongRun();
    void selectSystem(const QString &key);
    void clickGo() { QTest::mouseClick(go(), Qt::LeftButton); }
    QPushButton *go() { return child<QPushButton>(m_window.get(), "Go"); }
    QTextEdit *output() { return child<QTextEdit>(m_window.get(), "textEdit"); }
    QAbstractButton *button(const char *name)
    {
        return child<QAbstractButton>(m_window.get(), name);
    }
    QLabel *busyIndicator() const;
    QString runEcho(const QString &toolName, const QString &romPath, QStringList arguments);
    QStringList filesBelow(const QString &dir) const;
    int runningCopies(const QString &path) const;

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_settings;
    std::unique_ptr<MainWindow> m_window;
};

void tst_ToolRun::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(toolDir()));
    m_settings = QStringLiteral("Good*.exe Directory=%1\nSame as Rom Path=false\n"
                                "Check Version At Startup=false\n"
                                "Load Summary At Startup=false\n\n")
                     .arg(toolDir());
    qunsetenv("GOODTOOL_PACE_MS");
}

void tst_ToolRun::cleanup()
{
    m_window.reset();
    removeSettings();
    qunsetenv("GOODTOOL_PACE_MS");
}

// A demo system: the substitute tool as Good<key>.exe with its database, and its ROM files.
void tst_ToolRun::installSystem(const QString &key)
{
    const DemoSystem system = demoSystem(key);
    QString error;
    QVERIFY2(installDemoTool(system, QStringLiteral(GOODTOOL_PATH), toolDir(), &error),
             qPrintable(error));
    QVERIFY(QDir().mkpath(romDir(key)));
    QVERIFY2(!writeMissingRoms(system, romDir(key), &error).isEmpty(), qPrintable(error));
    m_settings += QStringLiteral("[%1=%1 System\nRom Path=%2\nFile Name=Good%1.exe\n\n")
                      .arg(key, romDir(key));
}

// The argument echo as a tool of its own system, "[Echo".
void tst_ToolRun::installEcho(const QString &toolName)
{
    QVERIFY(QFile::copy(QStringLiteral(ECHOARGS_PATH), toolDir() + toolName));
    QVERIFY(QDir().mkpath(romDir(QStringLiteral("Echo"))));
    m_settings += QStringLiteral("[Echo=Echo System\nRom Path=%1\nFile Name=%2\n\n")
                      .arg(romDir(QStringLiteral("Echo")), toolName);
}

// A shell script as the tool of its own system, "[Script".
void tst_ToolRun::installScript(const QString &toolName, const QByteArray &body)
{
    QFile script(toolDir() + toolName);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + body + '\n');
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    QVERIFY(QDir().mkpath(romDir(QStringLiteral("Script"))));
    m_settings += QStringLiteral("[Script=Script System\nRom Path=%1\nFile Name=%2\n\n")
                      .arg(romDir(QStringLiteral("Script")), toolName);
}

// The numbers of the lines from `lines` down to 1 as "[0000123]", each printed twice, as fast
// as awk can: far faster than the output area takes them.
const QByteArray FloodScript = "exec awk -v n=\"$1\" 'BEGIN { for (i = n; i > 0; i--) "
                               "printf \"[%07d]\\n[%07d]\\n\", i, i }'";

QString floodText(long lines)
{
    QString text;
    for (long i = lines; i > 0; --i)
        text += QStringLiteral("[%1]\n").arg(i, 7, 10, QLatin1Char('0')).repeated(2);
    return text;
}

// Runs the flood from the panel as a custom command: the number of lines is its one argument.
void tst_ToolRun::startFlood(long lines)
{
    installScript(QStringLiteral("GoodFlood"), FloodScript);
    startWindow();
    button("customRB")->setChecked(true);
    child<QLineEdit>(m_window.get(), "custom")->setText(QString::number(lines));
    clickGo();
}

void tst_ToolRun::startWindow()
{
    QVERIFY(writeSettings(m_settings.toUtf8()));
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_ToolRun::selectSystem(const QString &key)
{
    auto *selector = child<QComboBox>(m_window.get(), "selectSystemComboBox");
    const int index = selector->findText(QLatin1Char('[') + key + QLatin1Char(' '),
                                         Qt::MatchStartsWith | Qt::MatchCaseSensitive);
    QVERIFY(index >= 0);
    selector->setCurrentIndex(index);
}

QLabel *tst_ToolRun::busyIndicator() const
{
    const auto labels = m_window->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel *label : labels) {
        if (label->movie())
            return label;
    }
    return nullptr;
}

// Runs a tool through Process alone and returns what it printed.
QString tst_ToolRun::runEcho(const QString &toolName, const QString &romPath, QStringList arguments)
{
    QTextEdit area;
    auto *process = new Process(toolDir(), toolName, romPath, &arguments, &area, false);
    QSignalSpy gone(process, &QObject::destroyed);
    if (!gone.wait(20000))
        return QStringLiteral("<still running>");
    return area.toPlainText();
}

// How many processes run the program at `path`, read from /proc.
int tst_ToolRun::runningCopies(const QString &path) const
{
    int copies = 0;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        const QFileInfo exe(QStringLiteral("/proc/%1/exe").arg(pid));
        if (exe.isSymLink() && exe.symLinkTarget() == canonical)
            ++copies;
    }
    return copies;
}

QStringList tst_ToolRun::filesBelow(const QString &dir) const
{
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(dir.size());
    files.sort();
    return files;
}

void tst_ToolRun::goStreamsOutputAndShowsBusyIndicator()
{
    installSystem(QStringLiteral("Gen"));
    startWindow();
    button("rename")->setChecked(true);
    qputenv("GOODTOOL_PACE_MS", "150"); // long enough to see the run while it goes on

    clickGo();
    QCOMPARE(go()->text(), QStringLiteral("Stop"));
    QCOMPARE(go()->styleSheet(), QStringLiteral("* { background-color: rgb(255,0,0) }"));
    QLabel *indicator = busyIndicator();
    QVERIFY(indicator && indicator->isVisible());
    auto *scrollBar = output()->verticalScrollBar();
    QCOMPARE(indicator->pos(),
             QPoint(output()->width() - scrollBar->width() - indicator->width(), 40));
    QCOMPARE(indicator->size(), indicator->movie()->currentImage().size());

    // Output shows while the tool still runs, and keeps growing.
    QTRY_VERIFY(!output()->toPlainText().isEmpty());
    QCOMPARE(go()->text(), QStringLiteral("Stop"));

    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 20000);
    QCOMPARE(go()->styleSheet(), QStringLiteral("* { background-color: rgb(85, 255, 127) }"));
    QVERIFY(!busyIndicator());
    const QString text = output()->toPlainText();
    for (const DemoRom &rom : demoSystem(QStringLiteral("Gen")).roms)
        QVERIFY2(text.contains(rom.fileName), qPrintable(rom.fileName));
    QVERIFY(QFile::exists(romDir(QStringLiteral("Gen")) + QStringLiteral("GenHave.txt")));
    QVERIFY(QDir(romDir(QStringLiteral("Gen")) + QStringLiteral("GenRen")).exists());
}

// A rename on Gen that waits a minute after each file, seen printing its first line.
void tst_ToolRun::startLongRun()
{
    installSystem(QStringLiteral("Gen"));
    startWindow();
    button("rename")->setChecked(true);
    qputenv("GOODTOOL_PACE_MS", "60000");
    clickGo();
    QTRY_VERIFY(!output()->toPlainText().isEmpty());
}

void tst_ToolRun::stopKillsTheRun()
{
    startLongRun();
    const QString before = output()->toPlainText();
    clickGo(); // now "Stop"

    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QCOMPARE(go()->styleSheet(), QStringLiteral("* { background-color: rgb(85, 255, 127) }"));
    QVERIFY(!busyIndicator());
    QCOMPARE(output()->toPlainText(), before);
    // Closing waits for the kill. The tool writes its lists at the end: killed after its first
    // file, it wrote none.
    QVERIFY(!QFile::exists(romDir(QStringLiteral("Gen")) + QStringLiteral("GenHave.txt")));
    QCOMPARE(output()->toPlainText(), before);
}

void tst_ToolRun::closingTheWindowKillsTheRun()
{
    startLongRun();
    if (!QFileInfo::exists(QStringLiteral("/proc/self/exe")))
        QSKIP("no /proc to look for processes");
    const QString tool = toolDir() + QStringLiteral("GoodGen.exe");
    QCOMPARE(runningCopies(tool), 1);

    m_window.reset();

    QCOMPARE(runningCopies(tool), 0);
}

void tst_ToolRun::auditOutputIsDeduplicatedAndSorted()
{
    installSystem(QStringLiteral("Gen"));
    startWindow();
    const auto startAudit = [this](bool tidy) {
        button("audit")->setChecked(true);
        child<QComboBox>(m_window.get(), "comboBox_2")->setCurrentIndex(3);
        button("uniq")->setChecked(tidy);
        button("sort")->setChecked(tidy);
        clickGo();
    };
    startAudit(false);
    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 20000);
    const QString raw = output()->toPlainText();
    startAudit(true);
    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 20000);
    const QString tidy = output()->toPlainText();

    // The header before the first report line stays; the report's lines, the empty one after
    // the last line end included, come back sorted and once each.
    const QString head = raw.left(raw.indexOf(u'('));
    QVERIFY(!head.isEmpty());
    QVERIFY(tidy.startsWith(head));
    const QStringList rawLines = raw.mid(head.size()).split(u'\n');
    const QStringList tidyLines = tidy.mid(head.size()).split(u'\n');
    QVERIFY2(rawLines.size() > tidyLines.size(), "the report repeats lines");
    for (qsizetype i = 1; i < tidyLines.size(); ++i)
        QVERIFY(tidyLines.at(i - 1) < tidyLines.at(i));
    QCOMPARE(QSet<QString>(tidyLines.begin(), tidyLines.end()),
             QSet<QString>(rawLines.begin(), rawLines.end()));
}

void tst_ToolRun::toolThatCannotStartReturnsToGo()
{
    QVERIFY(QDir().mkpath(romDir(QStringLiteral("Text"))));
    QFile notAProgram(toolDir() + QStringLiteral("GoodText.exe"));
    QVERIFY(notAProgram.open(QIODevice::WriteOnly));
    notAProgram.write("not a program\n");
    notAProgram.close();
    m_settings += QStringLiteral("[Text=Text System\nRom Path=%1\nFile Name=GoodText.exe\n\n")
                      .arg(romDir(QStringLiteral("Text")));
    startWindow();
    button("list")->setChecked(true);

    clickGo();

    QTRY_VERIFY(output()->toPlainText().startsWith(QStringLiteral("Can not start ")));
    QVERIFY(output()->toPlainText().contains(toolDir() + QStringLiteral("GoodText.exe")));
    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QVERIFY(!busyIndicator());

    // The button works again: a second try reports again instead of being stuck in Stop.
    clickGo();
    QTRY_VERIFY(output()->toPlainText().startsWith(QStringLiteral("Can not start ")));
    QCOMPARE(go()->text(), QStringLiteral("Go"));
}

void tst_ToolRun::vanishedRomDirectoryStopsTheRun()
{
    installSystem(QStringLiteral("Gen"));
    installSystem(QStringLiteral("NES"));
    startWindow();
    selectSystem(QStringLiteral("NES"));
    button("list")->setChecked(true);
    clickGo(); // NES becomes the current directory
    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 20000);
    const QStringList nesFiles = filesBelow(romDir(QStringLiteral("NES")));

    QVERIFY(QDir(romDir(QStringLiteral("Gen"))).removeRecursively());
    selectSystem(QStringLiteral("Gen"));
    button("rename")->setChecked(true);
    clickGo();

    QTRY_VERIFY(output()->toPlainText().startsWith(QStringLiteral("Can not start ")));
    QVERIFY(output()->toPlainText().endsWith(
        QStringLiteral("The ROM directory %1 does not exist.").arg(romDir(QStringLiteral("Gen")))));
    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QCOMPARE(filesBelow(romDir(QStringLiteral("NES"))), nesFiles); // nothing renamed there
}

void tst_ToolRun::goWithoutArgumentsOrSystems()
{
    startWindow(); // no system at all
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    clickGo();
    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QCOMPARE(seen.text, QStringLiteral("Error: No args selected"));

    button("list")->setChecked(true);
    seen = {};
    acceptNextMessageBox(&seen);
    clickGo();
    QCOMPARE(seen.text, QStringLiteral("No systems found. Configure Tessary under Main->Config."));
    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QVERIFY(!busyIndicator());
}

void tst_ToolRun::toolWithoutArgumentsEndsByItself()
{
    installSystem(QStringLiteral("NES"));
    const QString text = runEcho(QStringLiteral("GoodNES.exe"), romDir(QStringLiteral("NES")), {});
    QVERIFY2(text.contains(QStringLiteral("Press ENTER")), qPrintable(text));
}

void tst_ToolRun::argumentsArriveIntact()
{
    installEcho(QStringLiteral("GoodEcho.exe"));
    startWindow();
    button("rename")->setChecked(true);
    button("customRB")->setChecked(true); // each command change empties the custom text
    child<QLineEdit>(m_window.get(), "custom")->setText(QStringLiteral(" two  \"words\" 'x' \\"));
    child<QComboBox>(m_window.get(), "configComboBox")->clear(); // an empty section argument
    button("config")->setChecked(true);

    clickGo();
    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 20000);
    const QString echoDir = QDir::cleanPath(romDir(QStringLiteral("Echo")));
    QCOMPARE(output()->toPlainText(), QStringLiteral("1:[rename]\n2:[ two  \"words\" 'x' \\]\n"
                                                     "3:[config]\n4:[]\ncwd:[%1]\n")
                                          .arg(echoDir));
}

void tst_ToolRun::argumentsArriveIntactThroughWine()
{
    // A Windows tool is any file that starts with "MZ"; "wine" is found on the search path.
    QFile windowsTool(toolDir() + QStringLiteral("GoodWin.exe"));
    QVERIFY(windowsTool.open(QIODevice::WriteOnly));
    windowsTool.write("MZ\x90\0 not really a program");
    windowsTool.close();
    const QString bin = root() + QStringLiteral("bin");
    QVERIFY(QDir().mkpath(bin));
    QFile wine(bin + QStringLiteral("/wine"));
    QVERIFY(wine.open(QIODevice::WriteOnly));
    wine.write("#!/bin/sh\nexec '" ECHOARGS_PATH "' \"$@\"\n");
    wine.close();
    wine.setPermissions(wine.permissions() | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit() + ':' + path);

    const QString romPath = root();
    const QString text = runEcho(
        QStringLiteral("GoodWin.exe"), romPath,
        {QString(), QStringLiteral("a b"), QStringLiteral("\"q\""), QStringLiteral("$HOME")});
    qputenv("PATH", path);

    QCOMPARE(text, QStringLiteral("1:[%1GoodWin.exe]\n2:[]\n3:[a b]\n4:[\"q\"]\n5:[$HOME]\n"
                                  "cwd:[%2]\n")
                       .arg(toolDir(), QDir::cleanPath(romPath)));
}

void tst_ToolRun::runInTemporaryDirectoryShowsNothing()
{
    installEcho(QStringLiteral("GoodEcho.exe"));
    QCOMPARE(runEcho(QStringLiteral("GoodEcho.exe"), QDir::tempPath(), {QStringLiteral("list")}),
             QString());
    QCOMPARE(QDir::currentPath(), QDir::tempPath()); // the tool ran there
}

void tst_ToolRun::fixnesScriptRunsAllStages()
{
    installSystem(QStringLiteral("NES"));
    const QString dir = romDir(QStringLiteral("NES"));
    // The user's own duplicates are put aside during the script and come back afterwards.
    QVERIFY(QDir().mkpath(dir + QStringLiteral("NESDupes")));
    QFile userDupe(dir + QStringLiteral("NESDupes/mine.nes"));
    QVERIFY(userDupe.open(QIODevice::WriteOnly));
    userDupe.close();
    startWindow();
    selectSystem(QStringLiteral("NES"));
    button("convert")->setChecked(true);
    QCOMPARE(m_window->buildArguments(), QStringList{"fixnes"});
    clickGo();
    QTRY_COMPARE_WITH_TIMEOUT(output()->toPlainText(), QStringLiteral("fixnes script complete"),
                              60000);

    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QVERIFY(!busyIndicator());
    QCOMPARE(filesBelow(dir + QStringLiteral("NESDupes/")), QStringList{"mine.nes"});
    QVERIFY(!QDir(dir + QStringLiteral("NESNew")).exists());
    QVERIFY(!QDir(dir + QStringLiteral("NESDupes.old")).exists());
    const QStringList files = filesBelow(dir);
    QVERIFY2(files.filter(QStringLiteral(".new.nes")).isEmpty(), qPrintable(files.join(u',')));

    // Every known ROM sits in NESRen under its good name, with a clean header.
    const DemoSystem nes = demoSystem(QStringLiteral("NES"));
    int junkBefore = 0;
    for (const DemoRom &rom : nes.roms) {
        if (rom.goodName.isEmpty())
            continue;
        junkBefore += Ines::hasJunk(rom.content);
        QFile renamed(dir + QStringLiteral("NESRen/") + rom.goodName + QStringLiteral(".nes"));
        QVERIFY2(renamed.open(QIODevice::ReadOnly), qPrintable(renamed.fileName()));
        const QByteArray content = renamed.readAll();
        QVERIFY(!Ines::hasJunk(content));
        QCOMPARE(romChecksum(content), romChecksum(rom.content));
    }
    QVERIFY(junkBefore > 0);

    // The script starts over from its first stage.
    QCOMPARE(m_window->buildArguments(), QStringList{"fixnes"});
}

void tst_ToolRun::fixnesScriptGoesOnAfterStop()
{
    installSystem(QStringLiteral("NES"));
    startWindow();
    selectSystem(QStringLiteral("NES"));
    button("convert")->setChecked(true);
    qputenv("GOODTOOL_PACE_MS", "60000");

    clickGo();
    for (int stage = 1; stage <= 3; ++stage) {
        // Each stage's tool run is stopped after its first line (later stages print theirs
        // below the two-line stage message); the file step still follows.
        const int lineEnds = stage == 1 ? 1 : 2;
        QTRY_VERIFY(output()->toPlainText().count(u'\n') >= lineEnds);
        QCOMPARE(go()->text(), QStringLiteral("Stop"));
        clickGo();
        if (stage < 3) {
            QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Stop"), 20000);
            QVERIFY(output()->toPlainText().startsWith(
                QStringLiteral("fixnes script stage %1 complete\nStarting stage %2")
                    .arg(stage)
                    .arg(stage + 1)));
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(output()->toPlainText(), QStringLiteral("fixnes script complete"),
                              20000);
    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QCOMPARE(m_window->buildArguments(), QStringList{"fixnes"});
}

void tst_ToolRun::floodIsShownWholeBeforeTheRunEnds()
{
    const long lines = 30000;
    startFlood(lines);
    button("uniq")->setChecked(true); // the tidy-up at the end works on what is on show then
    button("sort")->setChecked(true);

    // The window keeps turning while the output is still coming in.
    QTRY_VERIFY_WITH_TIMEOUT(output()->document()->blockCount() > 100, 20000);
    QCOMPARE(go()->text(), QStringLiteral("Stop"));
    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 120000);

    QCOMPARE(output()->toPlainText(), processAuditOutput(floodText(lines), u'[', true, true));
}

void tst_ToolRun::floodWithCrLfKeepsItsLines()
{
    // Short lines, so that many slices end between a CR and its LF.
    installScript(QStringLiteral("GoodCrLf"), "exec awk 'BEGIN { for (i = 0; i < 40000; i++) "
                                          "printf \"%d\\r\\n\", i }'");
    QString expected;
    for (int i = 0; i < 40000; ++i)
        expected += QString::number(i) + u'\n';

    const QString text = runEcho(QStringLiteral("GoodCrLf"), romDir(QStringLiteral("Script")), {});

    QCOMPARE(text.count(u'\n'), expected.count(u'\n'));
    QCOMPARE(text, expected);
}

void tst_ToolRun::stopDuringFloodEndsTheRunAtOnce()
{
    const long lines = 300000;
    startFlood(lines);
    QTRY_VERIFY_WITH_TIMEOUT(output()->document()->blockCount() > 100, 20000);
    clickGo(); // now "Stop"

    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QVERIFY(!busyIndicator());
    const QString shown = output()->toPlainText();
    QVERIFY(!shown.isEmpty());
    // What is on show is the tool's output from its start, and nothing comes after the end.
    QVERIFY(floodText(lines).startsWith(shown));
    QTest::qWait(100);
    QCOMPARE(output()->toPlainText(), shown);
}

void tst_ToolRun::outputEncodingFollowsHowTheToolStarts_data()
{
    QTest::addColumn<bool>("throughWine");
    QTest::addColumn<QByteArray>("printed");
    QTest::addColumn<QString>("expected");
    // A native tool speaks the local encoding, UTF-8 here; one under Wine its Windows code page.
    QTest::newRow("native UTF-8") << false << QByteArray("Pok\303\251mon \342\202\254\\n")
                                  << QStringLiteral("Pokémon €\n");
    QTest::newRow("Wine Windows-1252") << true << QByteArray("Pok\351mon \200 \226 \275\\r\\n")
                                       << QStringLiteral("Pokémon € – ½\n");
}

void tst_ToolRun::outputEncodingFollowsHowTheToolStarts()
{
    QFETCH(bool, throughWine);
    QFETCH(QByteArray, printed);
    QFETCH(QString, expected);
    QStringEncoder local(QStringConverter::System);
    if (!throughWine && local(expected) != expected.toUtf8())
        QSKIP("the local encoding is not UTF-8");
    const QByteArray print = "printf '" + printed + "'";
    const QByteArray path = qgetenv("PATH");
    QString tool = QStringLiteral("GoodNative");
    if (throughWine) {
        tool = QStringLiteral("GoodWin.exe");
        QFile windowsTool(toolDir() + tool);
        QVERIFY(windowsTool.open(QIODevice::WriteOnly));
        windowsTool.write("MZ\x90\0 not really a program");
        windowsTool.close();
        const QString bin = root() + QStringLiteral("bin");
        QVERIFY(QDir().mkpath(bin));
        QFile wine(bin + QStringLiteral("/wine"));
        QVERIFY(wine.open(QIODevice::WriteOnly));
        wine.write("#!/bin/sh\n" + print + '\n');
        wine.close();
        wine.setPermissions(wine.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", bin.toLocal8Bit() + ':' + path);
    } else {
        installScript(tool, print);
    }

    const QString text = runEcho(tool, root(), {});
    qputenv("PATH", path);

    QCOMPARE(text, expected);
}

QTEST_MAIN(tst_ToolRun)
#include "tst_toolrun.moc"
