#include "app/mainwindow.h"
#include "testhelpers.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace TestHelpers;

// A Windows console tool run from the panel through the real Wine: the arguments it gets, its
// output streamed and decoded from its own code page, and Stop leaving no Windows process behind.
// All cases share one Wine prefix, since the first start in a new prefix takes a while.
class tst_WineRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void argumentsAndNamesArriveIntact();
    void outputStreamsWhileTheToolRuns();
    void stopLeavesNoWindowsProcess();

private:
    QString toolDir() const { return m_dir->path() + QStringLiteral("/tools/"); }
    QString romDir() const { return m_dir->path() + QStringLiteral("/Wine roms/"); }
    void clickGo() { QTest::mouseClick(go(), Qt::LeftButton); }
    QPushButton *go() { return child<QPushButton>(m_window.get(), "Go"); }
    QTextEdit *output() { return child<QTextEdit>(m_window.get(), "textEdit"); }
    QAbstractButton *button(const char *name)
    {
        return child<QAbstractButton>(m_window.get(), name);
    }
    int runningTools() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void tst_WineRun::initTestCase()
{
    if (QByteArrayLiteral(WINTOOL_PATH).isEmpty())
        QSKIP("No Windows tool to run: the MinGW cross compiler x86_64-w64-mingw32-gcc (Debian "
              "package gcc-mingw-w64-x86-64) was not found when the build was configured.");
    if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
        QSKIP("wine is not on the search path (Debian packages wine and wine64).");

    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(toolDir()));
    QVERIFY(QDir().mkpath(romDir()));
    QVERIFY(QFile::copy(QStringLiteral(WINTOOL_PATH), toolDir() + QStringLiteral("GoodWine.exe")));
    qputenv("WINEPREFIX", QFile::encodeName(m_dir->path() + QStringLiteral("/prefix")));
    qputenv("WINEDEBUG", "-all");
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml="); // no installer dialogs for Mono and Gecko
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");

    // The first start creates the prefix; the cases then start within the usual time.
    QProcess first;
    first.setWorkingDirectory(romDir());
    first.start(QStringLiteral("wine"), {toolDir() + QStringLiteral("GoodWine.exe"), "rename"});
    QVERIFY2(first.waitForFinished(240000), "Wine did not set up its prefix within four minutes");
    QCOMPARE(first.exitCode(), 0);

    QVERIFY(
        writeSettings(QStringLiteral("Good*.exe Directory=%1\nSame as Rom Path=false\n"
                                     "Check Version At Startup=false\n"
                                     "Load Summary At Startup=false\n\n"
                                     "[Wine=Wine System\nRom Path=%2\nFile Name=GoodWine.exe\n\n")
                          .arg(toolDir(), romDir())
                          .toUtf8()));
}

void tst_WineRun::cleanupTestCase()
{
    removeSettings();
    if (!m_dir)
        return;
    // The prefix's server and its system processes go before the prefix does.
    const QString wineserver = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    if (!wineserver.isEmpty())
        QProcess::execute(wineserver, {QStringLiteral("-k")});
}

void tst_WineRun::init()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_WineRun::cleanup()
{
    m_window.reset();
    QFile::remove(romDir() + QStringLiteral("continue.txt"));
}

// Processes of this test's tool, whichever form of its path Wine shows in the command line.
int tst_WineRun::runningTools() const
{
    int running = 0;
    const QByteArray ours = QFile::encodeName(QFileInfo(m_dir->path()).fileName());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray command = cmdline.readAll();
        running += command.contains("GoodWine.exe") && command.contains(ours);
    }
    return running;
}

void tst_WineRun::argumentsAndNamesArriveIntact()
{
    button("rename")->setChecked(true);
    button("customRB")->setChecked(true);
    child<QLineEdit>(m_window.get(), "custom")->setText(QStringLiteral(" two  \"words\" here"));
    child<QComboBox>(m_window.get(), "configComboBox")->clear(); // an empty section argument
    button("config")->setChecked(true);

    clickGo();
    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 120000);

    // Wine shows the Unix root as drive Z:. The names come in Windows-1252.
    const QString cwd = QStringLiteral("Z:") + QDir::cleanPath(romDir()).replace(u'/', u'\\');
    QCOMPARE(output()->toPlainText(),
             QStringLiteral("1:[rename]\n2:[ two  \"words\" here]\n3:[config]\n4:[]\ncwd:[%1]\n"
                            "Pokémon Blue (E) [!]\nCafé € – ½ (J)\n")
                 .arg(cwd));
}

void tst_WineRun::outputStreamsWhileTheToolRuns()
{
    button("scan")->setChecked(true);
    clickGo();

    QTRY_COMPARE_WITH_TIMEOUT(output()->toPlainText(), QStringLiteral("scan started\n"), 120000);
    QCOMPARE(go()->text(), QStringLiteral("Stop"));
    QFile go_on(romDir() + QStringLiteral("continue.txt"));
    QVERIFY(go_on.open(QIODevice::WriteOnly));
    go_on.close();

    QTRY_COMPARE_WITH_TIMEOUT(go()->text(), QStringLiteral("Go"), 60000);
    QCOMPARE(output()->toPlainText(), QStringLiteral("scan started\nscan finished\n"));
}

void tst_WineRun::stopLeavesNoWindowsProcess()
{
    button("list")->setChecked(true);
    clickGo();
    QTRY_COMPARE_WITH_TIMEOUT(output()->toPlainText(), QStringLiteral("list waiting\n"), 120000);
    QCOMPARE(runningTools(), 1);

    clickGo(); // now "Stop"

    QCOMPARE(go()->text(), QStringLiteral("Go"));
    QCOMPARE(output()->toPlainText(), QStringLiteral("list waiting\n"));
    QTRY_COMPARE(runningTools(), 0);
}

QTEST_MAIN(tst_WineRun)
#include "tst_winerun.moc"
