#include "lockedfolder.h"
#include "settings/atomicwrite.h"
#include "settings/linereader.h"
#include "settings/settingsloader.h"
#include "tessarytest.h"

#include <QtTest>
#include <QtWidgets>

using namespace TessaryTest;
using namespace Qt::StringLiterals;

namespace {

// One loader reads each part of `text` ("\f" between them) as a window reads its file again.
// Gives "goodExeDir|flags;section keys;offered systems;key=name,romPath,toolFile ...".
QString load(QByteArray text, const QString &base)
{
    SettingsLoader loader(base);
    GlobalSettings settings;
    SystemTable table;
    SettingsLoader::Result result;
    for (QByteArray part : text.split('\f')) {
        QBuffer buffer(&part);
        buffer.open(QIODevice::ReadOnly);
        result = loader.load(&buffer, settings, table);
    }
    QString dump = settings.goodExeDir + u'|' + QString::number(settings.sameAsRomPath) +
                   QString::number(settings.checkVersionAtStartup) +
                   QString::number(settings.loadSummaryAtStartup) + u';' +
                   result.sectionKeys.join(u',') + u';' + result.offeredSystems.join(u',') + u';';
    for (const SystemEntry &entry : table)
        dump += entry.key + u'=' + entry.systemName + u',' + entry.romPath + u',' + entry.toolFile +
                u' ';
    return dump.trimmed();
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root; // R/GoodR.exe, the folder R/GoodD.exe, tools/GoodT.exe, mytool

private slots:
    void initTestCase()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        for (const char *file : {"R/GoodR.exe", "R/GoodD.exe/x", "tools/GoodT.exe", "mytool"})
            QVERIFY(writeFile(m_root.filePath(QLatin1String(file)), {}));
        QVERIFY(QDir::setCurrent(m_root.filePath(u"R"_s)));
    }

    void lineReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("line ends")
            << QByteArray("a\r\nb\n\rc\r\r\nd\0e", 13)
            << QStringList{"a", "b", "", "c", "", QString::fromUtf8("d\0e", 3)};
        // Each byte that is no UTF-8 stands for itself, so that writing the text gives it back.
        QTest::newRow("code page bytes, byte order mark inside")
            << QByteArray("\xc3\xa9\xff\xe9y\xe2\x82\xef\xbb\xbf\n")
            << QStringList{u"\u00e9"_s + QChar(0xDCFF) + QChar(0xDCE9) + u'y' + QChar(0xDCE2) +
                           QChar(0xDC82) + QChar::ByteOrderMark};
        QTest::newRow("byte order mark opening the file")
            << QByteArray("\xef\xbb\xbf\xe9x") << QStringList{QChar(0xDCE9) + u"x"_s};
        // The reader takes 64 KiB at a time: a CR LF across the boundary.
        QTest::newRow("cr lf across reads")
            << QByteArray(65535, 'x') + "\r\nnext" << QStringList{QString(65535, u'x'), "next"};
    }

    void lineReader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        LineReader reader(&buffer);
        QStringList read;
        for (QString line; reader.readLine(line);)
            read << line;
        QCOMPARE(read, lines);
        if (!bytes.contains('\r') && !bytes.startsWith('\xef')) // written back, the same bytes
            QCOMPARE(encodeLocal8Bit(lines.join(u'\n')), bytes.chopped(bytes.endsWith('\n')));
    }

    void atomicWrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.ini"_s);
        QVERIFY(QDir().mkpath(path + u"/inside"_s) && !writeTextFileAtomically(path, {}));
        QVERIFY(QFileInfo(path + u"/inside"_s).isDir()); // a folder there stays
        QVERIFY(QDir(path).removeRecursively() && writeFile(path, "old\n"));
        // A folder that admits no new file still gets its file written, in place.
        const std::optional<bool> written = LockedFolder::runInLockedFolder(
            dir.path(), [&] { return writeTextFileAtomically(path, u"new\n"_s); });
        QVERIFY(!written || (*written && readFile(path) == "new\n"));
    }

    void loader_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("loaded");
        const auto row = [](const char *name, const QByteArray &text, const char *loaded) {
            QTest::newRow(name) << text << QString::fromUtf8(loaded);
        };
        row("directory normalised", "Good*.exe Directory= /t=x\\Good \n", "/t=x/Good/|000;;;");
        row("flags: any case, blanks, prefixes; keys case-sensitive",
            "Same as Rom Path= TRUE \nCheck=True\nLoader=true\nsame as rom path=false\n"
            "  Same as Rom Path=false\n",
            "|111;;;");
        row("absent lines keep their values",
            "Good*.exe Directory=/t\nSame as Rom Path=true\nCheck=true\nLoad=true\n"
            "\fSame as Rom Path=yes\nCheck true\n",
            "/t/|001;;;");
        row("block lines in any order, prefixes alone",
            "Files=GoodGen.exe\nRoms= \\g \n[Gen = G=x \n",
            "|000;[Gen ;;[Gen =G=x,/g/,GoodGen.exe");
        row("later block with the same key wins",
            "[G=First\nRom Path=/a\nFile Name=GoodG.exe\n[G=Second\nRom Path=/b\nFile "
            "Name=GoodG.exe\n",
            "|000;[G,[G;;[G=Second,/b/,GoodG.exe");
        row("block without File Name shifts the later ones",
            "[A=a\nRom Path=/a\n\n[B=b\nRom Path=/b\nFile Name=GoodB.exe\n\n"
            "[C=c\nRom Path=/c\nFile Name=GoodC.exe\n",
            "|000;[A,[B,[C;;[B=b,/a/, [C=c,/b/,GoodB.exe");
        // The block being read survives a load, the count of its lines does not.
        row("loads after another",
            "[Gen=Genesis\nRom Path=/gen\nFile Name=GoodGen.exe\n\f[X=x\nRom Path=/x\n"
            "\f[NES=Nintendo\nRom Path=/nes\nRoms=/nes2\n",
            "|000;[NES;;[Gen=Genesis,/gen/,GoodGen.exe [NES=Nintendo,/nes2/,GoodGen.exe");
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
        const QStringList f = system.replace(u"~/"_s, m_root.path() + u'/').split(u'|');
        const QString text = u"Same as Rom Path=%1\nGood*.exe Directory=%2\n[K=k\nRom Path=%3\n"
                             "File Name=%4\n"_s.arg(f[0], f[1], f[2], f[3]);
        QCOMPARE(load(text.toUtf8(), m_root.path()).section(u';', 2, 2), offered ? "[K k" : "");
    }

    // Main, Config on a file; steps: "name=text" fills a field, "name" clicks, "name>path"
    // clicks and answers the file dialog ("" cancels it); "~/" is the collection.
    void configDialog_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("saved"); // "<unreadable>": a folder took its place
        // Comments, Wine lines and CR LF go; paths are normalised but stay relative; the bytes
        // of any encoding stay as they were.
        QTest::newRow("key order, bytes kept")
            << QByteArray("; mine\r\nWine=true\r\nGood*.exe Directory=\\t\\Caf\xe9\r\n\r\n"
                          "[SNES=M\xe9ga \xef\xbb\xbf\xe9\r\nRom Path= D:\\n\xe2\x82 \r\n"
                          "File Name=GoodCaf\xc3\xa9\xff.exe\r\n"
                          "[Gen=Genesis\r\nRom Path=/gen\r\nFile Name=GoodGen.exe\r\n")
            << u"checkBox saveButton"_s
            << QByteArray("Good*.exe Directory=/t/Caf\xe9/\nSame as Rom Path=false\n"
                          "Check Version At Startup=true\nLoad Summary At Startup=false\n\n"
                          "[Gen=Genesis\nRom Path=/gen/\nFile Name=GoodGen.exe\n\n"
                          "[SNES=M\xe9ga \xef\xbb\xbf\xe9\nRom Path=D:/n\xe2\x82/\n"
                          "File Name=GoodCaf\xc3\xa9\xff.exe\n\n");
        const QByteArray two("Same as Rom Path=true\n[A=a\nRom Path=/a\nFile Name=GoodA.exe\n"
                             "[B=b\nRom Path=/b\nFile Name=GoodB.exe\n");
        QTest::newRow("fields and pickers")
            << two
            << u"button1>~/picked exeDirButton>~/tools buttonTwo0>~/x/GoodX.exe button0> "
               "buttonTwo1> textBoxOne1=NoBracket checkBox_2 saveButton"_s
            << QByteArray("Good*.exe Directory=~/tools\nSame as Rom Path=true\n"
                          "Check Version At Startup=false\nLoad Summary At Startup=true\n\n"
                          "[A=a\nRom Path=/a/\nFile Name=GoodX.exe\n\n"
                          "NoBracket=b\nRom Path=~/picked\nFile Name=GoodB.exe\n\n");
        QTest::newRow("cannot be written: warned, dialog stays")
            << two << u"fileIsFolder saveButton"_s << QByteArray("<unreadable>");
    }

    void configDialog()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, steps);
        QFETCH(QByteArray, saved);
        Collection collection;
        QVERIFY(writeFile(collection.root() + u"x/GoodX.exe"_s, {}) &&
                QDir().mkpath(collection.root() + u"picked"_s));
        collection.globals = settings;
        QVERIFY(collection.startWindow());
        collection.trigger(u"actionConfig"_s);
        QPointer<QWidget> dialog;
        for (QWidget *window : QApplication::topLevelWidgets())
            dialog = window->objectName() == u"TestConfig" ? window : dialog.data();
        MessageBoxAnswerer answerer;
        for (const QString &step : steps.replace(u"~/"_s, collection.root()).split(u' ')) {
            const QString name = step.section(u'=', 0, 0).section(u'>', 0, 0);
            if (step == u"fileIsFolder")
                QVERIFY(QFile::remove(settingsPath()) && QDir().mkpath(settingsPath() + u"/in"_s));
            else if (auto *field = dialog->findChild<QLineEdit *>(name))
                field->setText(step.mid(name.size() + 1));
            else {
                if (step.contains(u'>'))
                    answerNextFileDialog(step.mid(name.size() + 1));
                QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton);
            }
        }
        QCOMPARE(readSettings(), saved.replace("~/", collection.root().toUtf8()));
        const bool failed =
            QFileInfo(settingsPath()).isDir() && QDir(settingsPath()).removeRecursively();
        QCOMPARE(answerer.seen.value(0).section(u'\n', 0, 0),
                 failed ? "Warning: Can not write " + settingsPath() : QString());
        QTRY_COMPARE(dialog.isNull(), !failed);
        delete dialog;
    }
};

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
