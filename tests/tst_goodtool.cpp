#include "democollection.h"
#include "romdatabase.h"

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
    void baseComesFromProgramName_data();
    void baseComesFromProgramName();
    void renameMovesKnownFilesAndLeavesUnknown();
    void haveAndMissListsAreExact();
    void exclusionsChangeMissTotalOnly();
    void configOptionPicksSection();
    void listNodbInEmptyDirectory();
    void checksumFileUnlessNodb();
    void newNamesFollowOptions_data();
    void newNamesFollowOptions();
    void duplicatesGoToDupes();
    void moveKeepsNames();
    void changesFile_data();
    void changesFile();
    void fixnesWritesCleanedCopy();
    void fixnesAndConvertAreSystemBound();
    void nesRepairSequenceEndsWithFixedFilesInRen();
    void auditReports_data();
    void auditReports();
    void scanVariants();
    void listdReadsSubdirectories();
    void quietKeepsSummaryAndLogKeepsAll();
    void unknownWordsAreRefused_data();
    void unknownWordsAreRefused();
    void noArgumentsEndsWhenInputCloses();
    void echoargsShowsArgumentsIntact();
    void demoDatabasesMatchDemoRoms();
};

void tst_GoodTool::baseComesFromProgramName_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("base");
    QTest::newRow("nes") << "GoodNES.exe"
                         << "NES";
    QTest::newRow("snes") << "GoodSNES.exe"
                          << "SNES";
    QTest::newRow("no exe suffix") << "GoodGen"
                                   << "Gen";
    QTest::newRow("build name") << "goodtool"
                                << "Demo";
}

void tst_GoodTool::baseComesFromProgramName()
{
    QFETCH(QString, program);
    QFETCH(QString, base);
    Workspace space;
    QVERIFY(space.install(program));
    const Result result = space.run({"list", "nodb"}, program);
    QCOMPARE(result.exitCode, 0);
    // Without a database the system name is the base and the version 0.0.
    QCOMPARE(space.read(base + "Have.txt"),
             " You have 0 of 0 known " + base.toUtf8() + " ROMS (V0.0)\r\n\r\n");
}

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

void tst_GoodTool::configOptionPicksSection()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeTool("Goodinfo.cfg", "[NES\n[o;;n\n[Mine\n(PD);;n\n[h;;n\n"));

    Result result = space.run({"list", "config", "Mine"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(space.read("NESMiss.txt").startsWith(" You are missing 4 of 4 known"));

    result = space.run({"list", "config", "Nowhere"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains("Warning"));
    QVERIFY(space.read("NESMiss.txt").startsWith(" You are missing 6 of 6 known"));
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

void tst_GoodTool::checksumFileUnlessNodb()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a.nes", alpha));
    QVERIFY(space.writeRom("zz.nes", romBytes("z")));
    QCOMPARE(space.run({"list"}).exitCode, 0);
    QCOMPARE(space.read("GoodNES.db"), romChecksum(alpha).toLatin1() + "\ta.nes\r\n" +
                                           romChecksum(romBytes("z")).toLatin1() + "\tzz.nes\r\n");
}

void tst_GoodTool::newNamesFollowOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringList() << "NESRen/Castle (J) [T+Eng].nes";
    QTest::newRow("nosep") << QStringList{"nosep"} << "NESRen/Castle(J)[T+Eng].nes";
    QTest::newRow("sep_") << QStringList{"sep_"} << "NESRen/Castle_(J)_[T+Eng].nes";
    QTest::newRow("forceDC") << QStringList{"forceDC"} << "NESRen/CASTLE (J) [T+ENG].NES";
    QTest::newRow("forcexbox") << QStringList{"forcexbox"} << "NESRen/Castle (J) [T_Eng].nes";
    QTest::newRow("dirs") << QStringList{"dirs"} << "NESRen/C/Castle (J) [T+Eng].nes";
    QTest::newRow("inplace") << QStringList{"inplace"} << "Castle (J) [T+Eng].nes";
    QTest::newRow("inplace dirs") << QStringList{"inplace", "dirs"} << "C/Castle (J) [T+Eng].nes";
}

void tst_GoodTool::newNamesFollowOptions()
{
    QFETCH(QStringList, options);
    QFETCH(QString, expected);
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("castle.nes", castle));
    QCOMPARE(space.run(QStringList{"rename"} + options).exitCode, 0);
    QCOMPARE(space.read(expected), castle);
}

void tst_GoodTool::duplicatesGoToDupes()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a1.nes", alpha));
    QVERIFY(space.writeRom("a2.nes", alpha));
    QVERIFY(space.writeRom("a3.nes", alpha));

    const Result result = space.run({"rename"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(!space.exists("a1.nes"));
    QVERIFY(!space.exists("a2.nes"));
    QCOMPARE(space.read("NESRen/Alpha Quest (U) [!].nes"), alpha);
    QCOMPARE(space.read("NESDupes/Alpha Quest (U) [!].nes"), alpha);
    QCOMPARE(space.read("a3.nes"), alpha); // both places taken: it stays, and says so
    QVERIFY(result.out.contains("a3.nes"));
}

void tst_GoodTool::moveKeepsNames()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("my alpha.nes", alpha));
    QVERIFY(space.writeRom("other.nes", romBytes("other")));
    QCOMPARE(space.run({"move", "dirs"}).exitCode, 0);
    QCOMPARE(space.read("NESRen/A/my alpha.nes"), alpha);
    QVERIFY(space.exists("other.nes"));
    QVERIFY(space.exists("NESHave.txt"));
}

void tst_GoodTool::changesFile_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("changes") << "changes"
                             << QByteArray("Alpha Quest (U) [!].nes -> NESRen/Alpha Quest (U) "
                                           "[!].nes\r\nb.nes -> NESRen/beta Run (E) [b1].nes\r\n");
    QTest::newRow("changes-") << "changes-"
                              << QByteArray("NESRen/Alpha Quest (U) [!].nes -> Alpha Quest (U) "
                                            "[!].nes\r\nNESRen/beta Run (E) [b1].nes -> b.nes\r\n");
    QTest::newRow("changesnew") << "changesnew"
                                << QByteArray("b.nes -> NESRen/beta Run (E) [b1].nes\r\n");
    QTest::newRow("changesnew-") << "changesnew-"
                                 << QByteArray("NESRen/beta Run (E) [b1].nes -> b.nes\r\n");
}

void tst_GoodTool::changesFile()
{
    QFETCH(QString, option);
    QFETCH(QByteArray, expected);
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("Alpha Quest (U) [!].nes", alpha)); // named right: moved, not renamed
    QVERIFY(space.writeRom("b.nes", beta));
    QCOMPARE(space.run({"rename", option}).exitCode, 0);
    QCOMPARE(space.read("NESChanges.txt"), expected);
}

void tst_GoodTool::fixnesWritesCleanedCopy()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    const QByteArray dirty = Ines::image(alpha, "DiskDude!");
    const QByteArray clean = Ines::image(beta);
    QVERIFY(space.writeRom("dirty.nes", dirty));
    QVERIFY(space.writeRom("clean.nes", clean));
    QVERIFY(space.writeRom("old.new.nes", dirty)); // a fixed copy is never fixed again

    const Result result = space.run({"fixnes"});
    QCOMPARE(result.exitCode, 0);
    const QByteArray fixed = space.read("dirty.new.nes");
    QCOMPARE(fixed.size(), dirty.size());
    QCOMPARE(fixed.left(7), dirty.left(7));
    QCOMPARE(fixed.mid(7, 9), QByteArray(9, '\0'));
    QCOMPARE(fixed.mid(16), dirty.mid(16));
    QCOMPARE(romChecksum(fixed), romChecksum(dirty));
    QCOMPARE(space.read("dirty.nes"), dirty);
    QVERIFY(!space.exists("clean.new.nes"));
    QVERIFY(!space.exists("old.new.new.nes"));
}

void tst_GoodTool::fixnesAndConvertAreSystemBound()
{
    Workspace space;
    QVERIFY(space.install("GoodGen.exe"));
    QVERIFY(space.install("GoodNES.exe"));
    QVERIFY(space.writeRom("game.smd", alpha));
    QVERIFY(space.writeRom("game.nes", Ines::image(alpha, "junk")));

    Result result = space.run({"fixnes"}, "GoodGen.exe");
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.err.contains("fixnes"));
    result = space.run({"convert"}, "GoodNES.exe");
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.err.contains("convert is not available for NES"));

    result = space.run({"convert"}, "GoodGen.exe");
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(space.read("game.bin"), alpha);
    QVERIFY(!space.exists("game.smd"));
}

// The front end's NES repair: fixnes; park the fixed copies; rename the originals; bring the
// copies back, which rename then finds to be duplicates; put each copy in its original's place.
void tst_GoodTool::nesRepairSequenceEndsWithFixedFilesInRen()
{
    Workspace space;
    const DemoSystem nes = demoSystem("NES");
    QString error;
    QVERIFY(installDemoTool(nes, GOODTOOL_PATH, space.toolDir, &error));
    QVERIFY(!writeMissingRoms(nes, space.romDir, &error).isEmpty());
    QVERIFY(space.writeRom("NESDupes/mine.nes", "kept aside"));
    QDir dir(space.romDir);
    const QStringList nameFilter{"*.new.nes"};

    QCOMPARE(space.run({"fixnes"}).exitCode, 0);
    const QStringList fixedCopies = dir.entryList(nameFilter, QDir::Files);
    QVERIFY(fixedCopies.size() >= 2);
    QVERIFY(dir.mkdir("NESNew"));
    for (const QString &name : fixedCopies)
        QVERIFY(dir.rename(name, "NESNew/" + name));

    QCOMPARE(space.run({"rename"}).exitCode, 0);
    for (const QString &name : fixedCopies)
        QVERIFY(dir.rename("NESNew/" + name, name));
    QVERIFY(dir.rmdir("NESNew"));
    QVERIFY(dir.rename("NESDupes", "NESDupes.old"));

    QCOMPARE(space.run({"rename"}).exitCode, 0);
    QDir dupes(dir.filePath("NESDupes"));
    const QStringList dupeNames = dupes.entryList(QDir::Files);
    QCOMPARE(dupeNames.size(), fixedCopies.size());
    for (const QString &name : dupeNames) {
        QVERIFY(dir.remove("NESRen/" + name));
        QVERIFY(dir.rename("NESDupes/" + name, "NESRen/" + name));
    }
    QVERIFY(dir.rmdir("NESDupes"));
    QVERIFY(dir.rename("NESDupes.old", "NESDupes"));

    const QDir ren(dir.filePath("NESRen"));
    int known = 0;
    for (const DemoRom &rom : nes.roms) {
        if (rom.goodName.isEmpty())
            continue;
        ++known;
        const QByteArray content = space.read("NESRen/" + rom.goodName + ".nes");
        QCOMPARE(content, Ines::withCleanHeader(rom.content));
    }
    QCOMPARE(ren.entryList(QDir::Files).size(), known);
    QCOMPARE(dir.entryList(nameFilter, QDir::Files), QStringList());
    QCOMPARE(space.read("NESDupes/mine.nes"), QByteArray("kept aside"));
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

void tst_GoodTool::scanVariants()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a.nes", alpha));
    QVERIFY(space.writeRom("u.nes", romBytes("u")));
    QVERIFY(space.writeRom("sub/deeper/c.nes", castle));
    QVERIFY(space.writeRom("notes.txt", "not a ROM"));

    Result result = space.run({"scan"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains(QString::number(alpha.size()) + " bytes"));
    QVERIFY(result.out.contains(romChecksum(alpha)));
    QVERIFY(result.out.contains("Alpha Quest (U) [!]"));
    QVERIFY(result.out.contains("Unknown"));
    QVERIFY(!result.out.contains("Castle"));
    QVERIFY(!result.out.contains("notes.txt"));
    QVERIFY(!space.exists("NESHave.txt"));

    result = space.run({"scannew"});
    QVERIFY(result.out.contains("u.nes"));
    QVERIFY(!result.out.contains("a.nes"));

    result = space.run({"scand", "deep"});
    QVERIFY(result.out.contains("sub/deeper/c.nes"));
    QVERIFY(result.out.contains("first bytes: 74 65 73 74")); // "test"
}

void tst_GoodTool::listdReadsSubdirectories()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("elsewhere/c.nes", castle));
    QVERIFY(space.writeRom("NESRen/deep/b.nes", beta));

    QCOMPARE(space.run({"list"}).exitCode, 0);
    QVERIFY(space.read("NESHave.txt").startsWith(" You have 1 of 6 known"));
    QCOMPARE(space.run({"listd"}).exitCode, 0);
    QVERIFY(space.read("NESHave.txt").startsWith(" You have 2 of 6 known"));
}

void tst_GoodTool::quietKeepsSummaryAndLogKeepsAll()
{
    Workspace space;
    QVERIFY(space.installWithDatabase());
    QVERIFY(space.writeRom("a.nes", alpha));
    QVERIFY(space.writeRom("u.nes", romBytes("u")));

    const Result result = space.run({"rename", "quiet", "logmsgs"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(!result.out.contains("a.nes"));
    QVERIFY(!result.out.contains("Unknown"));
    QVERIFY(result.out.contains("You have 1 of 6"));
    const QByteArray log = space.read("NESLog.txt");
    QVERIFY(log.contains("a.nes -> NESRen/Alpha Quest (U) [!].nes\r\n"));
    QVERIFY(log.contains("Unknown: u.nes\r\n"));
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

void tst_GoodTool::noArgumentsEndsWhenInputCloses()
{
    Workspace space;
    QVERIFY(space.install());
    const Result result = space.run({});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains("rename"));
    QVERIFY(result.out.trimmed().endsWith("Press ENTER to continue"));
}

void tst_GoodTool::echoargsShowsArgumentsIntact()
{
    QTemporaryDir dir;
    const QStringList arguments{"a b", "", "\"quoted\"", "it's", "[T+Eng] (U)", "tab\there"};
    const Result result = runProgram(ECHOARGS_PATH, arguments, dir.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QString("1:[a b]\n2:[]\n3:[\"quoted\"]\n4:[it's]\n5:[[T+Eng] (U)]\n"
                                 "6:[tab\there]\ncwd:[%1]\n")
                             .arg(QFileInfo(dir.path()).canonicalFilePath()));
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
