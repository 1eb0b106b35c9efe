#include "settings/installlayout.h"
#include "settings/settingsloader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// Feeds settings text to a loader the way the main window does: one loader, many loads.
class Loads
{
public:
    SettingsLoader::Result load(const QString &text) { return load(text.toUtf8()); }

    SettingsLoader::Result load(const QByteArray &bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return loader.load(&buffer, settings, table);
    }

    SettingsLoader loader;
    GlobalSettings settings;
    SystemTable table;
};

class tst_SettingsLoader : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void normalisedDirectory_data();
    void normalisedDirectory();
    void globalLines_data();
    void globalLines();
    void absentGlobalLinesKeepTheirValues();

    void readySystemsAreOffered();
    void toolLocationFollowsSameAsRomPath();
    void toolFileNotStartingWithGoodIsAPath();
    void emptyGoodExeDirIsRelativeToCurrentDirectory();
    void relativePathsStartAtTheSettingsFolder_data();
    void relativePathsStartAtTheSettingsFolder();
    void blockLinesInAnyOrder();
    void keysAreNotTrimmed();
    void laterBlockWithSameKeyWins();
    void blockWithoutFileNameShiftsLaterBlocks();
    void scratchValuesSurviveBetweenLoads();
    void counterRestartsWithEveryLoad();
    void prefixesAloneDecide();
    void crOnlyAndCrLfFilesReadAlike();
    void binaryFileLoadsWithoutHarm();
    void manySystems();
    void installedCopyKeepsSettingsWithTheUser_data();
    void installedCopyKeepsSettingsWithTheUser();

private:
    // Makes a ROM directory and a tool file below the temporary directory; returns the directory
    // with a trailing "/".
    QString makeSystem(const QString &romDir, const QString &toolFile, const QString &toolDir = {});

    QTemporaryDir m_dir;
    QString m_root;
};

void tst_SettingsLoader::init()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.path() + u'/';
}

QString tst_SettingsLoader::makeSystem(const QString &romDir, const QString &toolFile,
                                       const QString &toolDir)
{
    const QString roms = m_root + romDir + u'/';
    QDir().mkpath(roms);
    if (!toolFile.isEmpty()) {
        const QString tools = toolDir.isEmpty() ? roms : m_root + toolDir + u'/';
        QDir().mkpath(tools);
        QFile tool(tools + toolFile);
        tool.open(QIODevice::WriteOnly);
    }
    return roms;
}

void tst_SettingsLoader::normalisedDirectory_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backslashes") << "C:\\Tools\\Good"
                                 << "C:/Tools/Good/";
    QTest::newRow("already ends with slash") << "D:/roms/"
                                             << "D:/roms/";
    QTest::newRow("trailing backslash") << "D:\\roms\\"
                                        << "D:/roms/";
    QTest::newRow("blanks trimmed") << "  /x/y  "
                                    << "/x/y/";
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("blank stays empty") << "   "
                                       << "";
}

void tst_SettingsLoader::normalisedDirectory()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(::normalisedDirectory(value), expected);
}

void tst_SettingsLoader::globalLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("goodExeDir");
    QTest::addColumn<bool>("same");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("load");

    // Starting point of every row: goodExeDir "start/" (as configured), all three flags false.
    QTest::newRow("directory") << "Good*.exe Directory=C:\\Tools\\Good"
                               << "C:/Tools/Good/" << false << false << false;
    QTest::newRow("empty directory") << "Good*.exe Directory="
                                     << "" << false << false << false;
    QTest::newRow("equals in value") << "Good*.exe Directory= a=b "
                                     << "a=b/" << false << false << false;
    QTest::newRow("TRUE") << "Same as Rom Path=TRUE"
                          << "start/" << true << false << false;
    QTest::newRow("True with blanks") << "Same as Rom Path=  True  "
                                      << "start/" << true << false << false;
    QTest::newRow("yes is false") << "Check Version At Startup=yes"
                                  << "start/" << false << false << false;
    QTest::newRow("check") << "Check Version At Startup=true"
                           << "start/" << false << true << false;
    QTest::newRow("load") << "Load Summary At Startup=true"
                          << "start/" << false << false << true;
    QTest::newRow("prefix Load is enough") << "Loader=true"
                                           << "start/" << false << false << true;
    QTest::newRow("no equals: whole line is value") << "Check true"
                                                    << "start/" << false << false << false;
    QTest::newRow("keys are case-sensitive") << "same as rom path=true"
                                             << "start/" << false << false << false;
    QTest::newRow("leading blanks match nothing") << "  Same as Rom Path=true"
                                                  << "start/" << false << false << false;
    QTest::newRow("wine ignored") << "Wine=true"
                                  << "start/" << false << false << false;
    QTest::newRow("other Good* ignored") << "Good*Tools=C:/elsewhere"
                                         << "start/" << false << false << false;
}

void tst_SettingsLoader::globalLines()
{
    QFETCH(QString, line);
    QFETCH(QString, goodExeDir);
    QFETCH(bool, same);
    QFETCH(bool, check);
    QFETCH(bool, load);

    Loads loads;
    loads.settings.configuredGoodExeDir = QStringLiteral("start/");
    const SettingsLoader::Result result = loads.load(line + u'\n');
    QCOMPARE(loads.settings.configuredGoodExeDir, goodExeDir);
    QCOMPARE(loads.settings.sameAsRomPath, same);
    QCOMPARE(loads.settings.checkVersionAtStartup, check);
    QCOMPARE(loads.settings.loadSummaryAtStartup, load);
    QVERIFY(loads.table.isEmpty());
    QVERIFY(result.sectionKeys.isEmpty());
}

void tst_SettingsLoader::absentGlobalLinesKeepTheirValues()
{
    Loads loads;
    loads.load(QStringLiteral("Good*.exe Directory=/tools\nSame as Rom Path=true\n"
                              "Check Version At Startup=true\nLoad Summary At Startup=true\n"));
    loads.load(QStringLiteral("Same as Rom Path=false\n"));
    QCOMPARE(loads.settings.goodExeDir, QStringLiteral("/tools/"));
    QCOMPARE(loads.settings.sameAsRomPath, false);
    QCOMPARE(loads.settings.checkVersionAtStartup, true);
    QCOMPARE(loads.settings.loadSummaryAtStartup, true);

    const SettingsLoader::Result empty = loads.load(QString());
    QVERIFY(empty.offeredSystems.isEmpty());
    QCOMPARE(loads.settings.goodExeDir, QStringLiteral("/tools/"));
}

void tst_SettingsLoader::readySystemsAreOffered()
{
    const QString gen = makeSystem(QStringLiteral("Genesis"), QStringLiteral("GoodGen.exe"));
    const QString nes = makeSystem(QStringLiteral("NES"), QString()); // tool missing
    const QString pce = makeSystem(QStringLiteral("PCE"), QString());
    QVERIFY(QDir().mkpath(pce + QStringLiteral("GoodPCE.exe"))); // a folder, no tool
    const QString text = QStringLiteral("Same as Rom Path=true\n\n"
                                        "[NES=Nintendo\nRom Path=%1\nFile Name=GoodNES.exe\n\n"
                                        "[Gen=Sega Genesis\nRom Path=%2\nFile Name=GoodGen.exe\n\n"
                                        "[SNES=Super\nRom Path=%3\nFile Name=GoodGen.exe\n\n"
                                        "[GBA=Advance\nRom Path=\nFile Name=GoodGen.exe\n\n"
                                        "[PCE=Engine\nRom Path=%4\nFile Name=GoodPCE.exe\n")
                             .arg(nes, gen, m_root + QStringLiteral("nowhere"), pce);
    Loads loads;
    const SettingsLoader::Result result = loads.load(text);

    QCOMPARE(result.offeredSystems, QStringList{QStringLiteral("[Gen Sega Genesis")});
    QCOMPARE(result.sectionKeys, (QStringList{"[NES", "[Gen", "[SNES", "[GBA", "[PCE"}));
    QCOMPARE(loads.table.keys(), (QStringList{"[GBA", "[Gen", "[NES", "[PCE", "[SNES"}));
    const SystemEntry expected{QStringLiteral("[Gen"), QStringLiteral("Sega Genesis"), gen,
                               QStringLiteral("GoodGen.exe"), gen};
    QCOMPARE(loads.table.value(QStringLiteral("[Gen")), expected);
    QCOMPARE(loads.table.value(QStringLiteral("[SNES")).romPath,
             m_root + QStringLiteral("nowhere/"));
    QCOMPARE(loads.table.value(QStringLiteral("[GBA")).romPath, QString());
}

void tst_SettingsLoader::toolLocationFollowsSameAsRomPath()
{
    const QString inRoms = makeSystem(QStringLiteral("A"), QStringLiteral("GoodA.exe"));
    const QString elsewhere =
        makeSystem(QStringLiteral("B"), QStringLiteral("GoodB.exe"), QStringLiteral("tools"));
    const QString blocks = QStringLiteral("[A=a\nRom Path=%1\nFile Name=GoodA.exe\n"
                                          "[B=b\nRom Path=%2\nFile Name=GoodB.exe\n")
                               .arg(inRoms, elsewhere);
    const QString toolsDir = QStringLiteral("Good*.exe Directory=%1tools\n").arg(m_root);

    Loads same;
    QCOMPARE(
        same.load(toolsDir + QStringLiteral("Same as Rom Path=true\n") + blocks).offeredSystems,
        QStringList{QStringLiteral("[A a")});
    Loads apart;
    QCOMPARE(
        apart.load(toolsDir + QStringLiteral("Same as Rom Path=false\n") + blocks).offeredSystems,
        QStringList{QStringLiteral("[B b")});
}

void tst_SettingsLoader::toolFileNotStartingWithGoodIsAPath()
{
    const QString roms = makeSystem(QStringLiteral("X"), QString());
    QFile tool(m_root + QStringLiteral("mytool.exe"));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.close();
    const QString block =
        QStringLiteral("[X=x\nRom Path=%1\nFile Name=%2mytool.exe\n").arg(roms, m_root);
    for (const char *same : {"true", "false"}) {
        Loads loads;
        const QString text = QStringLiteral("Same as Rom Path=%1\n").arg(QLatin1String(same));
        QCOMPARE(loads.load(text + block).offeredSystems, QStringList{QStringLiteral("[X x")});
    }
}

void tst_SettingsLoader::emptyGoodExeDirIsRelativeToCurrentDirectory()
{
    const QString roms =
        makeSystem(QStringLiteral("R"), QStringLiteral("GoodR.exe"), QStringLiteral("cwd"));
    const QString text = QStringLiteral("Good*.exe Directory=\nSame as Rom Path=false\n"
                                        "[R=r\nRom Path=%1\nFile Name=GoodR.exe\n")
                             .arg(roms);
    const QString previous = QDir::currentPath();
    Loads loads;
    QDir::setCurrent(m_root + QStringLiteral("cwd"));
    const QStringList offeredHere = loads.load(text).offeredSystems;
    QDir::setCurrent(m_root);
    const QStringList offeredElsewhere = loads.load(text).offeredSystems;
    QDir::setCurrent(previous);
    QCOMPARE(offeredHere, QStringList{QStringLiteral("[R r")});
    QVERIFY(offeredElsewhere.isEmpty());
}

void tst_SettingsLoader::relativePathsStartAtTheSettingsFolder_data()
{
    QTest::addColumn<QString>(
        "goodExeDir"); // "%1": the path from the settings folder to the test's
    QTest::addColumn<QString>("romPath");
    QTest::addColumn<bool>("sameAsRomPath");
    QTest::newRow("ROM path") << ""
                              << "%1/R" << true;
    QTest::newRow("tools directory") << "%1/tools"
                                     << "%1/R" << false;
    QTest::newRow("backslashes and dots") << ".\\%1\\tools\\"
                                          << "%1/x/../R" << false;
}

// Relative paths name the same folders whatever the current directory is when the file is read,
// and the dialog gets them as they stand in the file.
void tst_SettingsLoader::relativePathsStartAtTheSettingsFolder()
{
    QFETCH(QString, goodExeDir);
    QFETCH(QString, romPath);
    QFETCH(bool, sameAsRomPath);
    const QString roms = makeSystem(QStringLiteral("R"), QStringLiteral("GoodR.exe"),
                                    sameAsRomPath ? QString() : QStringLiteral("tools"));
    const QString fromSettings =
        QDir(QCoreApplication::applicationDirPath()).relativeFilePath(m_dir.path());
    const QString text = QStringLiteral("Good*.exe Directory=%1\nSame as Rom Path=%2\n"
                                        "[R=r\nRom Path=%3\nFile Name=GoodR.exe\n")
                             .arg(goodExeDir.arg(fromSettings), QVariant(sameAsRomPath).toString(),
                                  romPath.arg(fromSettings));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(roms));
    Loads loads;
    const QStringList offered = loads.load(text).offeredSystems;
    QDir::setCurrent(previous);

    QCOMPARE(offered, QStringList{QStringLiteral("[R r")});
    const SystemEntry entry = loads.table.value(QStringLiteral("[R"));
    QCOMPARE(entry.romPath, roms);
    QCOMPARE(entry.configuredRomPath, ::normalisedDirectory(romPath.arg(fromSettings)));
    QCOMPARE(loads.settings.goodExeDir,
             goodExeDir.isEmpty() ? QString() : m_root + QStringLiteral("tools/"));
    QCOMPARE(loads.settings.configuredGoodExeDir,
             ::normalisedDirectory(goodExeDir.arg(fromSettings)));
}

void tst_SettingsLoader::blockLinesInAnyOrder()
{
    const QString roms = makeSystem(QStringLiteral("G"), QStringLiteral("GoodGen.exe"));
    Loads loads;
    const SettingsLoader::Result result = loads.load(
        QStringLiteral("Same as Rom Path=true\nFile Name=GoodGen.exe\nRom Path=%1\n[Gen=Genesis\n")
            .arg(roms));
    QCOMPARE(result.offeredSystems, QStringList{QStringLiteral("[Gen Genesis")});
    QCOMPARE(loads.table.value(QStringLiteral("[Gen")).toolFile, QStringLiteral("GoodGen.exe"));
}

void tst_SettingsLoader::keysAreNotTrimmed()
{
    Loads loads;
    const SettingsLoader::Result result =
        loads.load(QStringLiteral("[Gen = Genesis \nRom Path=/r\nFile Name=GoodGen.exe\n"
                                  "[Bare\nRom Path=/r\nFile Name=GoodGen.exe\n"));
    QCOMPARE(result.sectionKeys, (QStringList{"[Gen ", "[Bare"}));
    QCOMPARE(loads.table.value(QStringLiteral("[Gen ")).systemName, QStringLiteral("Genesis"));
    // A header without "=" is all key and, trimmed, all name.
    QCOMPARE(loads.table.value(QStringLiteral("[Bare")).systemName, QStringLiteral("[Bare"));
}

void tst_SettingsLoader::laterBlockWithSameKeyWins()
{
    const QString a = makeSystem(QStringLiteral("A"), QStringLiteral("GoodGen.exe"));
    const QString b = makeSystem(QStringLiteral("B"), QStringLiteral("GoodGen.exe"));
    Loads loads;
    const SettingsLoader::Result result = loads.load(
        QStringLiteral("Same as Rom Path=true\n[Gen=First\nRom Path=%1\nFile Name=GoodGen.exe\n\n"
                       "[Gen=Second\nRom Path=%2\nFile Name=GoodGen.exe\n")
            .arg(a, b));
    QCOMPARE(result.offeredSystems, (QStringList{"[Gen First", "[Gen Second"}));
    QCOMPARE(result.sectionKeys, (QStringList{"[Gen", "[Gen"}));
    QCOMPARE(loads.table.size(), 1);
    QCOMPARE(loads.table.value(QStringLiteral("[Gen")).romPath, b);
}

void tst_SettingsLoader::blockWithoutFileNameShiftsLaterBlocks()
{
    Loads loads;
    loads.load(QStringLiteral("[A=a\nRom Path=/a\n\n"
                              "[B=b\nRom Path=/b\nFile Name=GoodB.exe\n\n"
                              "[C=c\nRom Path=/c\nFile Name=GoodC.exe\n"));
    // "[B" is the third system line: it completes a system with its own key and name, the ROM
    // path of "[A" and the tool file left by nothing before (empty). Later blocks stay shifted.
    QCOMPARE(loads.table.value(QStringLiteral("[B")),
             (SystemEntry{"[B", "b", "/a/", QString(), "/a/"}));
    QCOMPARE(loads.table.value(QStringLiteral("[C")),
             (SystemEntry{"[C", "c", "/b/", "GoodB.exe", "/b/"}));
    QVERIFY(!loads.table.contains(QStringLiteral("[A")));
}

void tst_SettingsLoader::scratchValuesSurviveBetweenLoads()
{
    Loads loads;
    loads.load(QStringLiteral("[Gen=Genesis\nRom Path=/gen\nFile Name=GoodGen.exe\n"));
    loads.load(QStringLiteral("[NES=Nintendo\nRom Path=/nes\nRoms=/nes2\n"));
    QCOMPARE(loads.table.value(QStringLiteral("[NES")),
             (SystemEntry{"[NES", "Nintendo", "/nes2/", "GoodGen.exe", "/nes2/"}));
}

void tst_SettingsLoader::counterRestartsWithEveryLoad()
{
    Loads loads;
    loads.load(QStringLiteral("[X=x\nRom Path=/x\n")); // two lines of an unfinished block
    loads.load(QStringLiteral("[Gen=Genesis\nRom Path=/gen\nFile Name=GoodGen.exe\n"));
    QCOMPARE(loads.table.keys(), QStringList{QStringLiteral("[Gen")});
    QCOMPARE(loads.table.value(QStringLiteral("[Gen")).toolFile, QStringLiteral("GoodGen.exe"));
}

void tst_SettingsLoader::prefixesAloneDecide()
{
    Loads loads;
    loads.load(QStringLiteral("[Gen=Genesis\nRoms= \\x\\y \nFile Name=Good=Gen.exe\n"
                              "  Rom Path=/ignored\n"));
    QCOMPARE(loads.table.value(QStringLiteral("[Gen")),
             (SystemEntry{"[Gen", "Genesis", "/x/y/", "Good=Gen.exe", "/x/y/"}));
}

void tst_SettingsLoader::crOnlyAndCrLfFilesReadAlike()
{
    const QByteArray lf("Good*.exe Directory=/t\nSame as Rom Path=true\n\n"
                        "[Gen=Genesis\nRom Path=/g\nFile Name=GoodGen.exe\n\n");
    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    QByteArray cr = lf;
    cr.replace('\n', '\r');

    Loads fromLf;
    fromLf.load(lf);
    for (const QByteArray &bytes : {crlf, cr}) {
        Loads other;
        other.load(bytes);
        QCOMPARE(other.settings, fromLf.settings);
        QCOMPARE(other.table, fromLf.table);
    }
    QCOMPARE(fromLf.table.value(QStringLiteral("[Gen")).romPath, QStringLiteral("/g/"));
}

void tst_SettingsLoader::binaryFileLoadsWithoutHarm()
{
    QRandomGenerator random(7);
    QByteArray bytes(1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    // A real block at the end still counts, whatever noise came before it.
    bytes += "\n[Gen=Genesis\nRom Path=/g\nFile Name=GoodGen.exe\n";
    bytes.insert(100, QByteArray("\0\0\0", 3));
    Loads loads;
    loads.load(bytes);
    QVERIFY(loads.table.contains(QStringLiteral("[Gen")));
}

void tst_SettingsLoader::manySystems()
{
    QByteArray text("Same as Rom Path=true\n\n");
    const int count = 20000;
    for (int i = 0; i < count; ++i)
        text += "[S" + QByteArray::number(i) + "=System\nRom Path=/nowhere/" +
                QByteArray::number(i) + "\nFile Name=GoodS.exe\n\n";
    Loads loads;
    const SettingsLoader::Result result = loads.load(text);
    QCOMPARE(loads.table.size(), count);
    QCOMPARE(result.sectionKeys.size(), count);
    QVERIFY(result.offeredSystems.isEmpty());
}

// The package marks an installed copy with share/tessary/installed beside its help page.
void tst_SettingsLoader::installedCopyKeepsSettingsWithTheUser_data()
{
    QTest::addColumn<QString>("marker"); // "file", "folder" or "" (none)
    QTest::addColumn<bool>("installed");
    QTest::newRow("portable folder") << QString() << false;
    QTest::newRow("installed") << QStringLiteral("file") << true;
    QTest::newRow("marker is a folder") << QStringLiteral("folder") << false;
}

void tst_SettingsLoader::installedCopyKeepsSettingsWithTheUser()
{
    QFETCH(QString, marker);
    QFETCH(bool, installed);
    QTemporaryDir prefix;
    const QString programDir = prefix.filePath(QStringLiteral("bin"));
    const QString dataDir = prefix.filePath(QStringLiteral("share/tessary"));
    QVERIFY(QDir().mkpath(programDir) && QDir().mkpath(dataDir));
    const QString markerPath = dataDir + QStringLiteral("/installed");
    if (marker == u"file")
        QVERIFY(QFile(markerPath).open(QIODevice::WriteOnly));
    else if (marker == u"folder")
        QVERIFY(QDir().mkpath(markerPath));

    const InstallLayout layout =
        installLayout(programDir, QStringLiteral("/home/u/.config/Tessary"));
    QCOMPARE(layout.installed, installed);
    QCOMPARE(layout.settingsDirectory,
             installed ? QStringLiteral("/home/u/.config/Tessary") : programDir);
    QCOMPARE(layout.helpDirectory, installed ? dataDir : programDir);
}

QTEST_GUILESS_MAIN(tst_SettingsLoader)
#include "tst_settingsloader.moc"
