#include "settings/settingsloader.h"
#include "settings/testconfig.h"
#include "testhelpers.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

using namespace TestHelpers;

class tst_TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void panelsFollowKeyOrder();
    void globalSettingsShown();
    void emptyTableSavesGlobalsOnly();
    void saveRoundTripIsByteExact();
    void saveKeepsBytesOfAnyEncoding_data();
    void saveKeepsBytesOfAnyEncoding();
    void keyWithoutBracketIsLostOnReading();
    void failedSaveWarnsAndKeepsDialogOpen();
    void folderPickerFillsItsOwnPanel();
    void filePickerStoresFileNameOnly();
    void cancelledPickerChangesNothing();
};

namespace {

struct Loaded
{
    GlobalSettings settings;
    SystemTable table;
};

Loaded loadText(const QByteArray &bytes)
{
    Loaded loaded;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    SettingsLoader().load(&buffer, loaded.settings, loaded.table);
    return loaded;
}

QString flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Opens a dialog on what the main window would hand it for this settings text.
TestConfig *dialogFor(const QByteArray &bytes)
{
    const Loaded loaded = loadText(bytes);
    auto *dialog = new TestConfig(loaded.table, loaded.settings.configuredGoodExeDir,
                                  flag(loaded.settings.sameAsRomPath),
                                  flag(loaded.settings.checkVersionAtStartup),
                                  flag(loaded.settings.loadSummaryAtStartup), 100, 50, 736);
    dialog->show();
    return dialog;
}

void save(TestConfig *dialog)
{
    QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("saveButton")), Qt::LeftButton);
}

const QByteArray ThreeSystems =
    "Good*.exe Directory=C:\\Good\nSame as Rom Path=false\n"
    "Check Version At Startup=TRUE\nLoad Summary At Startup=false\n\n"
    "[SNES=Super Nintendo\nRom Path=D:\\roms\\snes\nFile Name=GoodSNES.exe\n\n"
    "[NES=Nintendo\nRom Path=D:/roms/nes/\nFile Name=GoodNES.exe\n\n"
    "[Gen=Genesis\nRom Path=/roms/gen\nFile Name=GoodGen.exe\n\n";

} // namespace

void tst_TestConfig::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void tst_TestConfig::cleanup()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("TestConfig"))
            delete widget;
    }
    QFileInfo settings(settingsPath());
    if (settings.isDir())
        QDir(settings.filePath()).removeRecursively();
    removeSettings();
}

void tst_TestConfig::panelsFollowKeyOrder()
{
    QPointer<TestConfig> dialog = dialogFor(ThreeSystems);
    QCOMPARE(dialog->objectName(), QStringLiteral("TestConfig"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Tessary Config"));
    QCOMPARE(dialog->size(), QSize(582, 482));
    QCOMPARE(dialog->pos(), QPoint(100 + 736 / 2 - 582 / 2, 150));

    auto *contents = child<QWidget>(dialog, QStringLiteral("scrollAreaWidgetContents"));
    QCOMPARE(child<QScrollArea>(dialog, QStringLiteral("scrollArea"))->widget(), contents);
    QStringList keys;
    for (QObject *panel : contents->children()) {
        if (qstrcmp(panel->metaObject()->className(), "QFrame") != 0)
            continue;
        const QString n = panel->objectName().mid(5);
        QStringList names;
        for (QObject *object : panel->children()) {
            if (object->isWidgetType())
                names << object->objectName();
        }
        QCOMPARE(names, (QStringList{"textBoxOne", "textBoxTwo", "labelOne", "textBoxThree",
                                     "labelTwo", "textBoxFour", "button", "buttonTwo"}
                             .replaceInStrings(QRegularExpression(QStringLiteral("$")), n)));
        keys << child<QLineEdit>(panel, QStringLiteral("textBoxOne") + n)->text();
        QCOMPARE(child<QLineEdit>(panel, QStringLiteral("textBoxThree") + n)->font().pointSize(),
                 8);
    }
    QCOMPARE(keys, (QStringList{"[Gen", "[NES", "[SNES"}));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxThree2"))->text(),
             QStringLiteral("D:/roms/snes/"));
    QCOMPARE(child<QLabel>(dialog, QStringLiteral("labelTwo0"))->text(),
             QStringLiteral("File Name"));

    dialog->close();
    QTRY_VERIFY(dialog.isNull()); // deletes itself on close
}

void tst_TestConfig::globalSettingsShown()
{
    TestConfig *dialog = dialogFor(ThreeSystems);
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("lineEdit"))->text(),
             QStringLiteral("C:/Good/"));
    QCOMPARE(child<QComboBox>(dialog, QStringLiteral("comboBox"))->currentText(),
             QStringLiteral("false"));
    QVERIFY(child<QCheckBox>(dialog, QStringLiteral("checkBox"))->isChecked());
    QVERIFY(!child<QCheckBox>(dialog, QStringLiteral("checkBox_2"))->isChecked());
    QCOMPARE(child<QCheckBox>(dialog, QStringLiteral("checkBox"))->text(),
             QStringLiteral("Check Version\nAt Startup"));
}

void tst_TestConfig::emptyTableSavesGlobalsOnly()
{
    TestConfig *dialog = new TestConfig(SystemTable(), QString(), QStringLiteral("true"),
                                        QStringLiteral("false"), QStringLiteral("true"), 0, 0, 736);
    dialog->show();
    save(dialog);
    QCOMPARE(readSettings(), QByteArray("Good*.exe Directory=\nSame as Rom Path=true\n"
                                        "Check Version At Startup=false\n"
                                        "Load Summary At Startup=true\n\n"));
}

void tst_TestConfig::saveRoundTripIsByteExact()
{
    // Comments, Wine lines, CR LF ends and the file's own block order are not kept by a save;
    // the values are, normalised.
    QByteArray original = "; my systems\nWine=true\n" + ThreeSystems;
    original.replace("\n", "\r\n");
    save(dialogFor(original));
    const QByteArray saved = readSettings();
    QCOMPARE(saved, QByteArray("Good*.exe Directory=C:/Good/\nSame as Rom Path=false\n"
                               "Check Version At Startup=true\nLoad Summary At Startup=false\n\n"
                               "[Gen=Genesis\nRom Path=/roms/gen/\nFile Name=GoodGen.exe\n\n"
                               "[NES=Nintendo\nRom Path=D:/roms/nes/\nFile Name=GoodNES.exe\n\n"
                               "[SNES=Super Nintendo\nRom Path=D:/roms/snes/\n"
                               "File Name=GoodSNES.exe\n\n"));

    const Loaded before = loadText(original);
    const Loaded after = loadText(saved);
    QCOMPARE(after.settings, before.settings);
    QCOMPARE(after.table, before.table);

    save(dialogFor(saved));
    QCOMPARE(readSettings(), saved);
}

void tst_TestConfig::saveKeepsBytesOfAnyEncoding_data()
{
    QTest::addColumn<QByteArray>("line");  // replaces the template's line of the same key
    QTest::addColumn<QByteArray>("saved"); // what a save writes for it
    QTest::newRow("Windows-1252 tools directory")
        << QByteArray("Good*.exe Directory=C:\\Outils\\Caf\xe9")
        << QByteArray("Good*.exe Directory=C:/Outils/Caf\xe9/");
    QTest::newRow("Windows-1252 ROM path")
        << QByteArray("Rom Path= /roms/Gen\xe8se ") << QByteArray("Rom Path=/roms/Gen\xe8se/");
    QTest::newRow("Windows-1252 name")
        << QByteArray("[Gen=M\xe9ga Drive") << QByteArray("[Gen=M\xe9ga Drive");
    QTest::newRow("UTF-8 and stray bytes in one value")
        << QByteArray("File Name=GoodCaf\xc3\xa9\xe9\xff\xc3.exe")
        << QByteArray("File Name=GoodCaf\xc3\xa9\xe9\xff\xc3.exe");
    QTest::newRow("a cut UTF-8 sequence")
        << QByteArray("Rom Path=/roms/\xe2\x82") << QByteArray("Rom Path=/roms/\xe2\x82/");
}

// Values pass through the dialog as they are read; only the normalisation of paths changes them.
void tst_TestConfig::saveKeepsBytesOfAnyEncoding()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, saved);
    const QByteArray plain = "Good*.exe Directory=/t/\nSame as Rom Path=false\n"
                             "Check Version At Startup=false\nLoad Summary At Startup=false\n\n"
                             "[Gen=Genesis\nRom Path=/g/\nFile Name=GoodGen.exe\n\n";
    const auto withLine = [&](const QByteArray &replacement) {
        QList<QByteArray> lines = plain.split('\n');
        for (QByteArray &each : lines) {
            if (each.left(each.indexOf('=')) == replacement.left(replacement.indexOf('=')))
                each = replacement;
        }
        return lines.join('\n');
    };
    save(dialogFor(withLine(line)));
    QCOMPARE(readSettings(), withLine(saved));
}

void tst_TestConfig::keyWithoutBracketIsLostOnReading()
{
    TestConfig *dialog = dialogFor(ThreeSystems);
    child<QLineEdit>(dialog, QStringLiteral("textBoxOne1"))->setText(QStringLiteral("NES"));
    save(dialog);
    QVERIFY(readSettings().contains("\nNES=Nintendo\n"));
    const Loaded after = loadText(readSettings());
    QVERIFY(!after.table.contains(QStringLiteral("NES")));
    QVERIFY(!after.table.contains(QStringLiteral("[NES")));
}

void tst_TestConfig::failedSaveWarnsAndKeepsDialogOpen()
{
    // A directory where the settings file should be: no one, not even root, can write it.
    QVERIFY(QDir().mkpath(settingsPath() + QStringLiteral("/keep")));
    QPointer<TestConfig> dialog = dialogFor(ThreeSystems);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    save(dialog);
    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QVERIFY2(seen.text.contains(QDir::toNativeSeparators(settingsPath())), qPrintable(seen.text));
    QVERIFY(!dialog.isNull());
    QVERIFY(dialog->isVisible());
    QVERIFY(QFileInfo(settingsPath() + QStringLiteral("/keep")).isDir());
}

void tst_TestConfig::folderPickerFillsItsOwnPanel()
{
    QTemporaryDir picked;
    TestConfig *dialog = dialogFor(ThreeSystems);
    const auto pick = [&](const QString &buttonName) {
        FileDialogSeen seen;
        answerNextFileDialog(picked.path(), &seen);
        QTest::mouseClick(child<QPushButton>(dialog, buttonName), Qt::LeftButton);
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, QStringLiteral("Open Directory"));
    };

    pick(QStringLiteral("button1"));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxThree1"))->text(), picked.path());
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxThree0"))->text(),
             QStringLiteral("/roms/gen/"));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("lineEdit"))->text(),
             QStringLiteral("C:/Good/"));

    pick(QStringLiteral("exeDirButton"));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("lineEdit"))->text(), picked.path());
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxThree2"))->text(),
             QStringLiteral("D:/roms/snes/"));
}

void tst_TestConfig::filePickerStoresFileNameOnly()
{
    QTemporaryDir elsewhere;
    const QString tool = elsewhere.filePath(QStringLiteral("GoodGen2.exe"));
    QFile(tool).open(QIODevice::WriteOnly);
    TestConfig *dialog = dialogFor(ThreeSystems);
    FileDialogSeen seen;
    answerNextFileDialog(tool, &seen);
    QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("buttonTwo0")), Qt::LeftButton);
    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Set GoodTool"));
    QCOMPARE(seen.nameFilters, QStringList{QStringLiteral("GoodTools (Good*.exe)")});
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxFour0"))->text(),
             QStringLiteral("GoodGen2.exe"));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxFour1"))->text(),
             QStringLiteral("GoodNES.exe"));
}

void tst_TestConfig::cancelledPickerChangesNothing()
{
    TestConfig *dialog = dialogFor(ThreeSystems);
    for (const char *button : {"button0", "buttonTwo0", "exeDirButton"}) {
        FileDialogSeen seen;
        answerNextFileDialog(QString(), &seen);
        QTest::mouseClick(child<QPushButton>(dialog, QLatin1String(button)), Qt::LeftButton);
        QVERIFY(seen.shown);
    }
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxThree0"))->text(),
             QStringLiteral("/roms/gen/"));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("textBoxFour0"))->text(),
             QStringLiteral("GoodGen.exe"));
    QCOMPARE(child<QLineEdit>(dialog, QStringLiteral("lineEdit"))->text(),
             QStringLiteral("C:/Good/"));
}

QTEST_MAIN(tst_TestConfig)
#include "tst_testconfig.moc"
