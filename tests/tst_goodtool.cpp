#include "demo/democollection.h"
#include "goodtool/romdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The substitute tool that the other tests and the demo run in place of the real ones: what it
// writes and prints has to follow from the files it sees, or those tests prove nothing.

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

Result runProgram(const QString &program, const QStringList &arguments, const QString &dir)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("GOODTOOL_PACE_MS"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir);
    process.start(program, arguments);
    process.closeWriteChannel();
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray romBytes(const char *seed)
{
    return QByteArray("test rom ") + seed + '\n' + QByteArray(300, seed[0]);
}

// Known: alpha, beta, castle (the collection) and three names no test file carries.
const QByteArray alpha = romBytes("alpha");
const QByteArray beta = romBytes("beta");
const QByteArray castle = romBytes("castle");

QByteArray testDatabase()
{
    QByteArray text = "# test database\nSystem=Test NES\nVersion=1.2\n\n";
    const QList<QPair<QByteArray, const char *>> entries = {
        {alpha, "Alpha Quest (U) [!]"},
        {beta, "beta Run (E) [b1]"},
        {castle, "Castle (J) [T+Eng]"},
        {romBytes("zeta"), "Zeta (U) [o1]"},
        {romBytes("hack"), "Alpha Quest (U) [h1]"},
        {romBytes("delta"), "Delta (PD)"}};
    for (const auto &entry : entries)
        text += romChecksum(entry.first).toLatin1() + '\t' + entry.second + "\r\n";
    return text;
}

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

// A temporary tool directory and ROM directory.
class Workspace
{
public:
    Workspace()
        : toolDir(m_dir.filePath(QStringLiteral("tools")))
        , romDir(m_dir.filePath(QStringLiteral("roms")))
    {
        QDir().mkpath(toolDir);
        QDir().mkpath(romDir);
    }

    bool install(const QString &name = QStringLiteral("GoodNES.exe"))
    {
        const QString path = QDir(toolDir).filePath(name);
        return QFile::copy(QStringLiteral(GOODTOOL_PATH), path) &&
               QFile::setPermissions(path, QFile::permissions(QStringLiteral(GOODTOOL_PATH)));
    }

    bool installWithDatabase() { return install() && writeTool("GoodNES.dat", testDatabase()); }

    bool writeTool(const QString &name, const QByteArray &content)
    {
        return write(QDir(toolDir).filePath(name), content);
    }

    bool writeRom(const QString &path, const QByteArray &content)
    {
        const QString full = QDir(romDir).filePath(path);
        return QDir().mkpath(QFileInfo(full).path()) && write(full, content);
    }

    QByteArray read(const QString &path) const
    {
        QFile file(QDir(romDir).filePath(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    bool exists(const QString &path) const { return QDir(romDir).exists(path); }

    Result run(const QStringList &arguments, const QString &tool = QStringLiteral("GoodNES.exe"))
    {
        return runProgram(QDir(toolDir).filePath(tool), arguments, romDir);
    }

private:
    static bool write(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

    QTemporaryDir m_dir;

public:
    const QString toolDir;
    const QString romDir;
};

} // namespace

class tst_GoodTool : public QObject
{
    Q_OBJECT

private slots:
    void renameMovesKnownFilesAndLeavesUnknown();
    void haveAndMissListsAreExact();
    void exclusionsChangeMissTotalOnly();
    void listNodbInEmptyDirectory();
    void auditReports_data();
    void auditReports();
    void unknownWordsAreRefused_data();
    void unknownWordsAreRefused();
    void demoDatabasesMatchDemoRoms();
};

void tst_GoodTool::renameMovesKnownFilesAndLeavesUnknown()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("alpha.nes", alpha));
    QVERIFY(space.writeRom("b.fixed.NES", beta)); // the last suffix, lower-cased, is kept
    QVERIFY(space.writeRom("stranger.nes", romBytes("stranger")));

    const Result result = space.run({"rename"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(space.read("NESRen/Alpha Quest (U) [!].nes"), alpha);
    QCOMPARE(space.read("NESRen/beta Run (E) [b1].nes"), beta);
    QVERIFY(!space.exists("alpha.nes"));
    QVERIFY(!space.exists("b.fixed.NES"));
    QVERIFY(space.exists("stranger.nes"));
    QVERIFY(result.out.contains("Unknown: stranger.nes"));
}

void tst_GoodTool::haveAndMissListsAreExact()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("c.nes", castle));
    QVERIFY(space.writeRom("a.nes", alpha));
    QVERIFY(space.writeRom("NESRen/b.nes", beta));
    QVERIFY(space.writeRom("copy of a.nes", alpha)); // a name is listed once

    QCOMPARE(space.run({"list"}).exitCode, 0);
    QCOMPARE(space.read("NESHave.txt"), QByteArray(" You have 3 of 6 known Test NES ROMS (V1.2)\r\n"
                                                   "\r\n"
                                                   "Alpha Quest (U) [!]\r\n"
                                                   "beta Run (E) [b1]\r\n"
                                                   "Castle (J) [T+Eng]\r\n"));
    QCOMPARE(space.read("NESMiss.txt"),
             QByteArray(" You are missing 3 of 6 known Test NES ROMS (V1.2)\r\n"
                        "\r\n"
                        "Alpha Quest (U) [h1]\r\n"
                        "Delta (PD)\r\n"
                        "Zeta (U) [o1]\r\n"));
}

void tst_GoodTool::exclusionsChangeMissTotalOnly()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a.nes", alpha));
    QVERIFY(space.writeRom("b.nes", beta));
    // Only lines of the "[NES" section that end in ";n" count; "[NESX" is another section.
    QVERIFY(space.writeTool("Goodinfo.cfg", "[NESX\r\n[h;;n\r\n"
                                            "[NES\r\n[b;Bad;n\r\n[o;Overdumps;n\r\n(PD);\r\n"
                                            "[SNES\r\n(PD);;n\r\n"));

    QCOMPARE(space.run({"list"}).exitCode, 0);
    QVERIFY(space.read("NESHave.txt").startsWith(" You have 2 of 6 known"));
    // Zeta [o1] and beta [b1] leave the wanted set; beta is had, so 3 of 4 are missing.
    QCOMPARE(space.read("NESMiss.txt"),
             QByteArray(" You are missing 3 of 4 known Test NES ROMS (V1.2)\r\n"
                        "\r\n"
                        "Alpha Quest (U) [h1]\r\n"
                        "Castle (J) [T+Eng]\r\n"
                        "Delta (PD)\r\n"));
}

void tst_GoodTool::listNodbInEmptyDirectory()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QCOMPARE(space.run({"list", "nodb"}).exitCode, 0);
    QVERIFY(space.read("NESHave.txt").startsWith(" You have 0 of 6 known Test NES ROMS (V1.2)"));
    const QByteArray miss = space.read("NESMiss.txt");
    QVERIFY(miss.startsWith(" You are missing 6 of 6 known"));
    QCOMPARE(miss.count("\r\n"), 8);
    QVERIFY(!space.exists("GoodNES.db"));
}

void tst_GoodTool::auditReports_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("report");
    QTest::newRow("audit1") << "audit1"
                            << QStringList{"[!] Alpha Quest (U) [!]", "[b1] beta Run (E) [b1]",
                                           "[!] Alpha Quest (U) [!]"};
    QTest::newRow("audit2") << "audit2" << QStringList{"[!]", "[b1]", "[!]"};
    QTest::newRow("audit3") << "audit3" << QStringList{"(U)", "(E)", "(U)"};
    QTest::newRow("audit4") << "audit4"
                            << QStringList{
                                   "[missing] Castle (J) [T+Eng]", "[missing] Zeta (U) [o1]",
                                   "[missing] Alpha Quest (U) [h1]", "[missing] Delta (PD)"};
    QTest::newRow("audit5") << "audit5" << QStringList{"[unknown] unknown.nes"};
}

void tst_GoodTool::auditReports()
{
    QFETCH(QString, command);
    QFETCH(QStringList, report);
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a.nes", alpha));
    QVERIFY(space.writeRom("b.nes", beta));
    QVERIFY(space.writeRom("unknown.nes", romBytes("u")));
    QVERIFY(space.writeRom("NESRen/Alpha Quest (U) [!].nes", alpha));

    const Result result = space.run({command});
    QCOMPARE(result.exitCode, 0);
    const QStringList output = lines(result.out);
    const qsizetype first = output.indexOf(report.first());
    QVERIFY2(first > 0, qPrintable(result.out));
    for (const QString &line : output.mid(0, first))
        QVERIFY2(!line.contains(u'[') && !line.contains(u'('), qPrintable(line));
    QCOMPARE(output.mid(first), report);
    QVERIFY(space.exists("NESMiss.txt"));
}

void tst_GoodTool::unknownWordsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    QTest::newRow("word") << QStringList{"foo"} << "foo";
    QTest::newRow("free text") << QStringList{"foo bar"} << "foo bar";
    QTest::newRow("empty") << QStringList{""} << "\"\"";
    QTest::newRow("case counts") << QStringList{"Rename"} << "Rename";
    QTest::newRow("test helper") << QStringList{"echoargs"} << "echoargs";
    QTest::newRow("empty option") << QStringList{"list", ""} << "\"\"";
    QTest::newRow("unknown option") << QStringList{"list", "dir"} << "dir";
    QTest::newRow("two commands") << QStringList{"list", "rename"} << "rename";
    QTest::newRow("config alone") << QStringList{"list", "config"} << "config";
}

void tst_GoodTool::unknownWordsAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a.nes", alpha));
    const Result result = space.run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(named), qPrintable(result.err));
    QVERIFY(space.exists("a.nes"));
    QVERIFY(!space.exists("NESHave.txt"));
}

void tst_GoodTool::demoDatabasesMatchDemoRoms()
{
    for (const DemoSystem &system : demoSystems()) {
        const RomDatabase database = system.database();
        QSet<QString> names(system.missingNames.cbegin(), system.missingNames.cend());
        for (const DemoRom &rom : system.roms) {
            QCOMPARE(database.nameFor(romChecksum(rom.content)), rom.goodName);
            if (!rom.goodName.isEmpty())
                names.insert(rom.goodName);
        }
        QCOMPARE(database.entries().size(), names.size()); // no name lost to a checksum clash
    }
}

QTEST_GUILESS_MAIN(tst_GoodTool)
#include "tst_goodtool.moc"
