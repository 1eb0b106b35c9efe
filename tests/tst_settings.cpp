#include "app/mainwindow.h"
#include "lockedfolder.h"
#include "settings/atomicwrite.h"
#include "settings/linereader.h"
#include "settings/settingsloader.h"
#include "settings/settingswriter.h"
#include "tessarytest.h"

#include <QtTest>
#include <QtWidgets>

using namespace TessaryTest;
using namespace Qt::StringLiterals;

static GlobalSettings g_settings; // of the last load()
static SystemTable g_table;

// What one load of `text` leaves: "goodExeDir|flags;section keys;offered systems;", each system
// as "key=name,romPath,toolFile", and each line logged.
static QString load(QByteArray text, const QString &base)
{
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged << message; });
    GlobalSettings &s = g_settings = {};
    g_table.clear();
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    const SettingsLoader::Result result = SettingsLoader(base).load(&buffer, s, g_table);
    qInstallMessageHandler(previous);
    QStringList dump{s.goodExeDir + u'|' + QString::number(s.sameAsRomPath) +
                         QString::number(s.checkVersionAtStartup) +
                         QString::number(s.loadSummaryAtStartup),
                     result.sectionKeys.join(u','), result.offeredSystems.join(u',')};
    for (const SystemEntry &e : g_table)
        dump << e.key + u'=' + e.systemName + u',' + e.romPath + u',' + e.toolFile;
    return (dump + logged).join(u';');
}

class tst_Settings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root; // R/GoodR.exe, the folder R/GoodD.exe, tools/GoodT.exe, mytool

private slots:
    void initTestCase()
    {
        for (const char *file : {"R/GoodR.exe", "R/GoodD.exe/x", "tools/GoodT.exe", "mytool"})
            QVERIFY(writeFile(m_root.filePath(QLatin1String(file)), {}));
    }

    // The reader takes 64 KiB at a time: the first CR LF lies across the boundary. Only a byte
    // order mark that opens the file is no text. (That bytes of any encoding are saved as they
    // were read shows in writer().)
    void lineReader()
    {
        QByteArray bytes = "\xef\xbb\xbf" + QByteArray(65532, 'x') +
                           QByteArray("\r\nb\n\rc\r\r\nd\0e\xef\xbb\xbf", 15);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        LineReader reader(&buffer);
        QStringList read;
        for (QString line; reader.readLine(line);)
            read << line;
        // UTF-8 here; under Wine the code page 1252 shows the mark as three letters.
        const QString last = QString::fromLocal8Bit(QByteArray("d\0e\xef\xbb\xbf", 6));
        QCOMPARE(read, (QStringList{QString(65532, u'x'), "b", "", "c", "", last}));
    }

    void loader_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("loaded");
        const auto row = [](const char *name, const QByteArray &text, const char *loaded) {
            QTest::newRow(name) << text << QString::fromUtf8(loaded);
        };
        row("globals: any case, blanks, prefixes",
            "Good*.exe Directory= /t=x\\G \nSame= TRUE \nCheck=True\nLoader=true\nsame=false\n"
            "  Same=false\n",
            "/t=x/G/|111;;");
        // Block lines come in any order. A block is never completed from another: a block
        // without its key (before an empty line), without its "File" line, with a line of a kind
        // twice, at the end.
        row("incomplete blocks left out",
            "=n\nRom=/n\nFile=N\n\n[B = b=x\nFile=B\nRom=/b\n[C=c\n[D=d\nRom=/d\nRom=/e\nFile=E\n",
            "|000;[B ,[C,[D;;[B =b=x,/b/,B;Tessary.ini line 2: lines without a key line left out;"
            "Tessary.ini line 8: [C left out, it has no Rom or File line;"
            "Tessary.ini line 9: [D left out, it has no File line;"
            "Tessary.ini line 11: lines without a key line left out");
    }

    void loader()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, loaded);
        QCOMPARE(load(text, u"/base"_s), loaded);
    }

    // "sameAsRomPath|goodExeDir|romPath|toolFile", "~/" the folder of test files, R the current.
    void toolLocation_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("offered");
        QTest::newRow("beside the ROMs") << "true|~/tools|~/R|GoodR.exe" << true;
        QTest::newRow("other name is a path") << "true||~/R|~/mytool" << true;
        QTest::newRow("a folder is no tool") << "true||~/R|GoodD.exe" << false;
        QTest::newRow("no ROM folder") << "false|~/tools|~/none|GoodT.exe" << false;
        QTest::newRow("no ROM path") << "false|~/tools||GoodT.exe" << false;
        QTest::newRow("no tools folder: the ROM folder") << "false||~/R|GoodR.exe" << true;
        // Relative paths start at the file's own folder, wherever the program was started.
        QTest::newRow("relative to the file") << "false|.\\x\\..\\tools|R|GoodT.exe" << true;
    }

    void toolLocation()
    {
        QFETCH(QString, system);
        QFETCH(bool, offered);
        const QStringList f = system.replace(u"~/"_s, m_root.path() + u'/').split(u'|');
        const QString text = u"Same as Rom Path=%1\nGood*.exe Directory=%2\n[K=k\nRom Path=%3\n"
                             "File Name=%4\n"_s.arg(f[0], f[1], f[2], f[3]);
        QCOMPARE(load(text.toUtf8(), m_root.path()).section(u';', 2, 2), offered ? "[K k" : "");
        // The file checked is the file a run starts.
        const SystemEntry &e = g_table.first();
        QVERIFY(!offered || QFileInfo(toolPath(g_settings.goodExeDir, e.toolFile, e.romPath,
                                               g_settings.sameAsRomPath))
                                .isFile());
    }

    // A save of what was read: comments, Wine lines and CR LF go; systems come in key order;
    // paths are normalised but stay relative; the bytes of any encoding and empty values stay.
    void writer()
    {
        load("; mine\r\nWine=true\r\nGood*.exe Directory=\\t\\Caf\xe9\r\nCheck=true\r\nLoad=1\r\n"
             "Same=TRUE\r\n[SNES=M\xe9ga \xef\xbb\xbf\xe9\r\nRom Path= D:\\n\xe2\x82 \r\n"
             "File Name=GoodCaf\xc3\xa9\xff.exe\r\n[Gen=\r\nRom Path=\r\nFile Name=\r\n\r\n"
             "[NES =N\r\nRom Path=n\r\nFile Name=GoodNES.exe\r\n",
             u"/base"_s);
        QCOMPARE(encodeLocal8Bit(settingsFileText(g_settings, g_table.values())),
                 QByteArray("Good*.exe Directory=/t/Caf\xe9/\nSame as Rom Path=true\n"
                            "Check Version At Startup=true\nLoad Summary At Startup=false\n\n"
                            "[Gen=\nRom Path=\nFile Name=\n\n[NES =N\nRom Path=n/\n"
                            "File Name=GoodNES.exe\n\n[SNES=M\xe9ga \xef\xbb\xbf\xe9\n"
                            "Rom Path=D:/n\xe2\x82/\nFile Name=GoodCaf\xc3\xa9\xff.exe\n\n"));
    }

    // Main, Config on a file; steps: "name=text" fills a field, "name" clicks, "name>path"
    // clicks and answers the file dialog ("" cancels it); "~/" is the collection. A save that
    // fails, or is refused, keeps the old file whole and the dialog open under a warning.
    void configDialog_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("warning"); // its first line; %1 the settings file
        // Pickers fill their own panel; only a tool's name is kept.
        const QByteArray file("[SNES=S\nRom Path=/s\nFile Name=GoodS.exe\n"
                              "[Gen=Genesis\nRom Path=/gen\nFile Name=GoodGen.exe\n");
        QTest::newRow("saved")
            << file
            << u"button0>~/picked exeDirButton>~/tools buttonTwo0>~/x/GoodX.exe button1> "
               "buttonTwo1> textBoxOne0=[New checkBox checkBox_2 saveButton"_s
            << QByteArray("Good*.exe Directory=~/tools\nSame as Rom Path=false\n"
                          "Check Version At Startup=true\nLoad Summary At Startup=true\n\n"
                          "[New=Genesis\nRom Path=~/picked\nFile Name=GoodX.exe\n\n"
                          "[SNES=S\nRom Path=/s/\nFile Name=GoodS.exe\n\n")
            << QString();
        QTest::newRow("full disk")
            << file << u"fullDisk"_s << file << u"Warning: Can not write %1"_s;
        // It would not read back, and would take the next system's folder and tool.
        QTest::newRow("key cleared") << file << u"textBoxOne0= saveButton"_s << file
                                     << u"Warning: The key \"\" of the system \"Genesis\" does "
                                        "not begin with \"[\" (as in [Gen)."_s;
    }

    void configDialog()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, steps);
        QFETCH(QByteArray, saved);
        QFETCH(QString, warning);
        Collection collection;
        QVERIFY(writeFile(collection.root() + u"x/GoodX.exe"_s, {}) &&
                QDir().mkpath(collection.root() + u"picked"_s));
        collection.globals = settings;
        QPointer<QWidget> dialog = openFromMenu(collection.startWindow(), "actionConfig");
        MessageBoxAnswerer answerer;
        for (const QString &step : steps.replace(u"~/"_s, collection.root()).split(u' ')) {
            if (step.contains(u'>'))
                answerNextFileDialog(step.section(u'>', 1));
#ifdef Q_OS_WIN
            if (step == u"fullDisk")
                QSKIP("no file size limit to fill the disk with");
#else
            if (step == u"fullDisk")
                onFullDisk([&] {
                    fillIn(dialog, u"saveButton"_s);
                    return true;
                });
#endif
            else
                fillIn(dialog, step.section(u'>', 0, 0));
        }
#ifdef Q_OS_WIN
        if (warning.isEmpty())
            saved.replace("\n", "\r\n"); // a text file as Windows writes one
#endif
        QCOMPARE(readFile(settingsPath()), saved.replace("~/", collection.root().toUtf8()));
        QCOMPARE(answerer.seen.value(0).section(u'\n', 0, 0),
                 warning.replace("%1", settingsPath()));
        QCOMPARE(dialog && dialog->isVisible(), !warning.isEmpty()); // no edit is lost
        delete dialog;
    }

#ifndef Q_OS_WIN // there no folder admits no new file, and files have no size limit
    // Where the folder admits no new file, the file is written in place. When that fails, its
    // old bytes go back (a full disk here lets one byte through), and the report says so.
    void writeInPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Tessary.ini"_s);
        QVERIFY(writeFile(path, "x"));
        QVERIFY(LockedFolder::runInLockedFolder(dir.path(), [&] {
                    QString error;
                    return !onFullDisk([&] { return writeFileAtomically(path, "new", &error); }) &&
                           error.endsWith("previous content again.") && readFile(path) == "x";
                }).value_or(true));
    }
#endif
};

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
