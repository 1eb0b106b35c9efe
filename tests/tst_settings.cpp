#include "lockedfolder.h"
#include "settings/atomicwrite.h"
#include "settings/linereader.h"
#include "settings/settingsloader.h"
#include "tessarytest.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace TessaryTest;

namespace {

QStringList readLines(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(&buffer);
    QStringList lines;
    for (QString line; reader.readLine(line);)
        lines << line;
    return lines;
}

struct Loaded
{
    GlobalSettings settings;
    SystemTable table;
    SettingsLoader::Result result;
};

// One loader reads each part of `text` ("\f" between them) as a window reads its file again.
Loaded load(const QByteArray &text, const QString &base)
{
    SettingsLoader loader(base);
    Loaded loaded;
    for (QByteArray part : text.split('\f')) {
        QBuffer buffer(&part);
        buffer.open(QIODevice::ReadOnly);
        loaded.result = loader.load(&buffer, loaded.settings, loaded.table);
    }
    return loaded;
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void lineReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("line ends")
            << QByteArray("a\r\nb\n\rc\r\r\nd") << QStringList{"a", "b", "", "c", "", "d"};
        QTest::newRow("nul") << QByteArray("a\0b\nc", 5)
                             << QStringList{QString::fromUtf8("a\0b", 3), "c"};
        // Each byte that is no UTF-8 stands for itself, so that writing the text gives it back.
        QTest::newRow("code page bytes")
            << QByteArray("\xc3\xa9\xff\xe9y\xe2\x82\n")
            << QStringList{u"\u00e9"_qs + QChar(0xDCFF) + QChar(0xDCE9) + u'y' + QChar(0xDCE2) +
                           QChar(0xDC82)};
        QTest::newRow("byte order mark inside a line")
            << QByteArray("y\xef\xbb\xbf\xe9\n")
            << QStringList{u"y"_qs + QChar::ByteOrderMark + QChar(0xDCE9)};
        QTest::newRow("byte order mark opening the file")
            << QByteArray("\xef\xbb\xbf\xe9x") << QStringList{QChar(0xDCE9) + u"x"_qs};
        // The reader takes 64 KiB at a time: a CR LF across each boundary it may use.
        for (int length : {65535, 131071})
            QTest::addRow("cr lf after %d bytes", length)
                << QByteArray(length, 'x') + "\r\nnext"
                << QStringList{QString(length, u'x'), "next"};
    }

    void lineReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(readLines(bytes), lines);
        if (!bytes.contains('\r') && !bytes.startsWith("\xef\xbb\xbf"))
            QCOMPARE(encodeLocal8Bit(lines.join(u'\n')), bytes.chopped(bytes.endsWith('\n')));
    }

    void atomicWrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.ini"));
        QString error;
        QVERIFY(!writeTextFileAtomically(dir.filePath(QStringLiteral("no/out.ini")), {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        QVERIFY(!writeTextFileAtomically(path, {}));
        QVERIFY(QFileInfo(path + QStringLiteral("/inside")).isDir()); // a folder there stays
        QVERIFY(QDir(path).removeRecursively() && writeFile(path, "old\n"));
        // A folder that admits no new file still gets its file written, in place.
        const std::optional<bool> written = LockedFolder::runInLockedFolder(
            dir.path(), [&] { return writeTextFileAtomically(path, QStringLiteral("new\n")); });
        QVERIFY(!written || (*written && readFile(path) == "new\n"));
    }

    void loader_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("loaded");
        const auto row = [](const char *name, const QByteArray &text, const char *loaded) {
            QTest::newRow(name) << text << QString::fromUtf8(loaded);
        };
        row("directory normalised", "Good*.exe Directory= \\t=x\\Good \n", "/t=x/Good/|000;;");
        row("empty directory", "Good*.exe Directory=/t\n\fGood*.exe Directory=\n", "|000;;");
        row("flags: any case, blanks, prefix", "Same as Rom Path= TRUE \nCheck=True\nLoader=true\n",
            "|111;;");
        row("absent lines keep their values",
            "Good*.exe Directory=/t\nSame as Rom Path=true\nCheck=true\nLoad=true\n"
            "\fSame as Rom Path=yes\nCheck true\n",
            "/t/|001;;");
        row("lines that match nothing",
            "same as rom path=true\n  Same as Rom Path=true\nWine=true\nGood*Tools=/x\n"
            "  Rom Path=/x\n",
            "|000;;");
        row("block lines in any order, key untrimmed",
            "File Name=GoodGen.exe\nRom Path= \\g \n[Gen = Genesis \n",
            "|000;[Gen ;[Gen =Genesis,/g/,GoodGen.exe");
        row("prefixes alone decide", "[Bare\nRoms=/r\nFiles=Good=X.exe\n",
            "|000;[Bare;[Bare=[Bare,/r/,Good=X.exe");
        row("later block with the same key wins",
            "[G=First\nRom Path=/a\nFile Name=GoodG.exe\n[G=Second\nRom Path=/b\nFile "
            "Name=GoodG.exe\n",
            "|000;[G,[G;[G=Second,/b/,GoodG.exe");
        row("block without File Name shifts the later ones",
            "[A=a\nRom Path=/a\n\n[B=b\nRom Path=/b\nFile Name=GoodB.exe\n\n"
            "[C=c\nRom Path=/c\nFile Name=GoodC.exe\n",
            "|000;[A,[B,[C;[B=b,/a/, [C=c,/b/,GoodB.exe");
        row("values left by an earlier load",
            "[Gen=Genesis\nRom Path=/gen\nFile Name=GoodGen.exe\n\f[NES=Nintendo\nRom Path=/nes\n"
            "Roms=/nes2\n",
            "|000;[NES;[Gen=Genesis,/gen/,GoodGen.exe [NES=Nintendo,/nes2/,GoodGen.exe");
        row("line count restarts with every load",
            "[X=x\nRom Path=/x\n\f[Gen=Genesis\nRom Path=/gen\nFile Name=GoodGen.exe\n",
            "|000;[Gen;[Gen=Genesis,/gen/,GoodGen.exe");
    }

    void loader()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, loaded);
        const Loaded after = load(text, QStringLiteral("/base"));
        const GlobalSettings &settings = after.settings;
        QString dump = settings.goodExeDir + u'|' + QString::number(settings.sameAsRomPath) +
                       QString::number(settings.checkVersionAtStartup) +
                       QString::number(settings.loadSummaryAtStartup) + u';' +
                       after.result.sectionKeys.join(u',') + u';';
        for (const SystemEntry &entry : after.table)
            dump += entry.key + u'=' + entry.systemName + u',' + entry.romPath + u',' +
                    entry.toolFile + u' ';
        QCOMPARE(dump.trimmed(), loaded);
    }

    // "sameAsRomPath|goodExeDir|romPath|toolFile" below a folder "~/" that holds R/GoodR.exe,
    // the folder R/GoodD.exe, tools/GoodT.exe and mytool. The current folder is R.
    void toolLocation_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("offered");
        QTest::newRow("beside the ROMs") << "true|~/tools|~/R|GoodR.exe" << true;
        QTest::newRow("not beside the ROMs") << "true|~/tools|~/R|GoodT.exe" << false;
        QTest::newRow("in the tools folder") << "false|~/tools|~/R|GoodT.exe" << true;
        QTest::newRow("not in the tools folder") << "false|~/tools|~/R|GoodR.exe" << false;
        QTest::newRow("other name is a path") << "true||~/R|~/mytool" << true;
        QTest::newRow("a folder is no tool") << "true||~/R|GoodD.exe" << false;
        QTest::newRow("no ROM folder") << "false|~/tools|~/none|GoodT.exe" << false;
        QTest::newRow("no ROM path") << "false|~/tools||GoodT.exe" << false;
        QTest::newRow("no tools folder: the current") << "false||~/R|GoodR.exe" << true;
        // Every tool run moves the current folder: relative paths start at the file's own.
        QTest::newRow("relative to the file") << "false|.\\x\\..\\tools|R|GoodT.exe" << true;
    }

    void toolLocation()
    {
        QFETCH(QString, system);
        QFETCH(bool, offered);
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        QVERIFY(writeFile(root + QStringLiteral("R/GoodR.exe"), {}) &&
                writeFile(root + QStringLiteral("tools/GoodT.exe"), {}) &&
                writeFile(root + QStringLiteral("mytool"), {}) &&
                QDir().mkpath(root + QStringLiteral("R/GoodD.exe")));
        const QStringList f = system.replace(QStringLiteral("~/"), root).split(u'|');
        const QString text = QStringLiteral("Same as Rom Path=%1\nGood*.exe Directory=%2\n"
                                            "[K=k\nRom Path=%3\nFile Name=%4\n")
                                 .arg(f[0], f[1], f[2], f[3]);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(root + u'R');
        const QStringList result = load(text.toUtf8(), dir.path()).result.offeredSystems;
        QDir::setCurrent(previous);
        QCOMPARE(result, offered ? QStringList{"[K k"} : QStringList());
    }

    // Main, Config on a file; "name=text" fills a field or picks a combo item, "name" clicks,
    // "name>path" clicks and answers the file dialog ("" cancels it); "~/" is the collection.
    void configDialog_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("message"); // first line of the box, if any
        QTest::newRow("no systems")
            << QByteArray("Same as Rom Path=true\nLoad Summary At Startup=TRUE\n")
            << QStringList{"saveButton"}
            << QByteArray("Good*.exe Directory=\nSame as Rom Path=true\n"
                          "Check Version At Startup=false\nLoad Summary At Startup=true\n\n")
            << QString();
        // Comments, Wine lines and CR LF go; paths are normalised but stay relative; the bytes
        // of any encoding stay as they were.
        QTest::newRow("key order, bytes kept")
            << QByteArray("; mine\r\nWine=true\r\nGood*.exe Directory=\\t\\Caf\xe9\r\n\r\n"
                          "[SNES=Super\r\nRom Path=D:\\snes\r\nFile Name=GoodSNES.exe\r\n"
                          "[NES=M\xe9ga \xef\xbb\xbf\xe9\r\nRom Path= /n\xe2\x82 \r\n"
                          "File Name=GoodCaf\xc3\xa9\xff.exe\r\n"
                          "[Gen=Genesis\r\nRom Path=/gen\r\nFile Name=GoodGen.exe\r\n")
            << QStringList{"checkBox", "saveButton"}
            << QByteArray("Good*.exe Directory=/t/Caf\xe9/\nSame as Rom Path=false\n"
                          "Check Version At Startup=true\nLoad Summary At Startup=false\n\n"
                          "[Gen=Genesis\nRom Path=/gen/\nFile Name=GoodGen.exe\n\n"
                          "[NES=M\xe9ga \xef\xbb\xbf\xe9\nRom Path=/n\xe2\x82/\n"
                          "File Name=GoodCaf\xc3\xa9\xff.exe\n\n"
                          "[SNES=Super\nRom Path=D:/snes/\nFile Name=GoodSNES.exe\n\n")
            << QString();
        const QByteArray twoSystems(
            "Good*.exe Directory=/t\n[A=a\nRom Path=/a\nFile Name=GoodA.exe\n"
            "[B=b\nRom Path=/b\nFile Name=GoodB.exe\n");
        QTest::newRow("fields and pickers")
            << twoSystems
            << QStringList{"button1>~/picked", "exeDirButton>~/tools", "buttonTwo0>~/x/GoodX.exe",
                           "button0>",         "buttonTwo1>",          "textBoxOne1=NoBracket",
                           "comboBox=true",    "checkBox_2",           "saveButton"}
            << QByteArray("Good*.exe Directory=~/tools\nSame as Rom Path=true\n"
                          "Check Version At Startup=false\nLoad Summary At Startup=true\n\n"
                          "[A=a\nRom Path=/a/\nFile Name=GoodX.exe\n\n"
                          "NoBracket=b\nRom Path=~/picked\nFile Name=GoodB.exe\n\n")
            << QString();
        QTest::newRow("closed unsaved")
            << twoSystems << QStringList{"textBoxTwo0=x", "close"} << twoSystems << QString();
        QTest::newRow("file cannot be written: dialog stays")
            << twoSystems << QStringList{"fileIsFolder", "saveButton"} << QByteArray("<unreadable>")
            << QStringLiteral("Warning: Can not write <ini>");
    }

    void configDialog()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, saved);
        QFETCH(QString, message);
        Collection collection;
        QVERIFY(writeFile(collection.root() + QStringLiteral("x/GoodX.exe"), {}) &&
                QDir().mkpath(collection.root() + QStringLiteral("picked")));
        collection.globals = settings;
        QVERIFY(collection.startWindow());
        collection.trigger(QStringLiteral("actionConfig"));
        QPointer<QWidget> dialog;
        for (QWidget *window : QApplication::topLevelWidgets())
            dialog = window->objectName() == QLatin1String("TestConfig") ? window : dialog.data();
        QVERIFY(dialog);
        MessageBoxAnswerer answerer;
        for (QString step : steps) {
            step.replace(QStringLiteral("~/"), collection.root());
            const QString name = step.section(u'=', 0, 0).section(u'>', 0, 0);
            const QString value = step.mid(name.size() + 1);
            if (step == QLatin1String("close"))
                dialog->close();
            else if (step == QLatin1String("fileIsFolder"))
                QVERIFY(QFile::remove(settingsPath()) && QDir().mkpath(settingsPath() + "/keep"));
            else if (auto *field = dialog->findChild<QLineEdit *>(name))
                field->setText(value);
            else if (auto *box = dialog->findChild<QComboBox *>(name))
                box->setCurrentText(value);
            else {
                if (step.contains(u'>'))
                    answerNextFileDialog(value);
                QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton);
            }
        }
        QCOMPARE(readSettings(), saved.replace("~/", collection.root().toUtf8()));
        QCOMPARE(answerer.seen.value(0).section(u'\n', 0, 0),
                 message.replace("<ini>", settingsPath()));
        QTRY_COMPARE(dialog.isNull(), message.isEmpty());
        if (QFileInfo(settingsPath()).isDir())
            QDir(settingsPath()).removeRecursively();
        delete dialog;
    }
};

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
