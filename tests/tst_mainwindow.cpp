#include "app/mainwindow.h"
#include "testhelpers.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace TestHelpers;

namespace {

QStringList items(QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QList<QWidget *> configDialogs()
{
    QList<QWidget *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("TestConfig"))
            dialogs << widget;
    }
    return dialogs;
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { removeSettings(); }
    void cleanup()
    {
        qDeleteAll(configDialogs());
        removeSettings();
    }

    void startState();
    void missingSettingsFile();
    void offeredSystemsAndConvert();
    void unresolvableKeyGivesEmptyEntry();
    void closingConfigDialogReloads();
    void laterSaveOfTwoDialogsWins();

private:
    QByteArray settingsWithSystems();

    QTemporaryDir m_dir;
};

// Three ready systems (NES, Gen, GBA, in that file order) and one without its ROM directory.
QByteArray tst_MainWindow::settingsWithSystems()
{
    const QString root = m_dir.path() + u'/';
    QString text = QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                  "Check Version At Startup=false\n"
                                  "Load Summary At Startup=false\n\n");
    for (const char *system : {"NES", "Gen", "GBA", "SNES"}) {
        const QString name = QLatin1String(system);
        if (name != QLatin1String("SNES") && QDir().mkpath(root + name))
            QFile(root + name + QStringLiteral("/Good") + name + QStringLiteral(".exe"))
                .open(QIODevice::WriteOnly);
        text += QStringLiteral("[%1=%1 System\nRom Path=%2%1\nFile Name=Good%1.exe\n\n")
                    .arg(name, root);
    }
    return text.toUtf8();
}

void tst_MainWindow::startState()
{
    MainWindow window;
    QVERIFY(!window.windowIcon().isNull()); // from the resources compiled into the library
    for (const char *shown : {"frame_2", "frame_7", "frame_10"})
        QVERIFY2(!child<QWidget>(&window, shown)->isHidden(), shown);
    for (const char *hidden :
         {"frame_3", "frame_4", "frame_5", "frame_6", "frame_8", "frame_9", "convert"})
        QVERIFY2(child<QWidget>(&window, hidden)->isHidden(), hidden);

    // A language change sets the texts again.
    auto *go = child<QPushButton>(&window, "Go");
    go->setText(QStringLiteral("Stop"));
    window.setWindowTitle(QString());
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&window, &change);
    QCOMPARE(go->text(), QStringLiteral("Go"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessary 2.1"));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    child<QAction>(&window, "actionExit")->trigger();
    QVERIFY(!window.isVisible());
}

void tst_MainWindow::missingSettingsFile()
{
    MainWindow window;
    QCOMPARE(child<QTextEdit>(&window, "textEdit")->toPlainText(),
             QStringLiteral("Can not read ") + QCoreApplication::applicationDirPath() +
                 QStringLiteral("/Tessary.ini"));
    QCOMPARE(child<QComboBox>(&window, "selectSystemComboBox")->count(), 0);
    QCOMPARE(child<QComboBox>(&window, "configComboBox")->count(), 0);
    QCOMPARE(window.settings(), GlobalSettings());
    QCOMPARE(window.selectedSystem(), SystemEntry());
}

void tst_MainWindow::offeredSystemsAndConvert()
{
    QVERIFY(writeSettings(settingsWithSystems()));
    MainWindow window;
    auto *selector = child<QComboBox>(&window, "selectSystemComboBox");
    QCOMPARE(items(selector),
             (QStringList{"[NES NES System", "[Gen Gen System", "[GBA GBA System"}));
    QCOMPARE(items(child<QComboBox>(&window, "configComboBox")),
             (QStringList{"[NES", "[Gen", "[GBA", "[SNES"}));
    QCOMPARE(window.systems().size(), 4);
    QVERIFY(child<QTextEdit>(&window, "textEdit")->toPlainText().isEmpty());

    // The convert button follows the system: the NES script, Genesis conversion, none for GBA.
    auto *convert = child<QRadioButton>(&window, "convert");
    QCOMPARE(window.selectedSystem().key, QStringLiteral("[NES"));
    QVERIFY(!convert->isHidden());
    QCOMPARE(convert->text(), QStringLiteral("fixnes script"));
    selector->setCurrentIndex(1);
    QCOMPARE(window.selectedSystem().romPath, m_dir.path() + QStringLiteral("/Gen/"));
    QCOMPARE(convert->text(), QStringLiteral("convert"));
    QCOMPARE(convert->toolTip(), QStringLiteral("Convert SMD/MD format to BIN format"));
    convert->setChecked(true);
    selector->setCurrentIndex(2);
    QVERIFY(convert->isHidden());
    QVERIFY(convert->isChecked());
}

void tst_MainWindow::unresolvableKeyGivesEmptyEntry()
{
    const QString dir = m_dir.path() + QStringLiteral("/Spaced/");
    QDir().mkpath(dir);
    QFile(dir + QStringLiteral("GoodGen.exe")).open(QIODevice::WriteOnly);
    QVERIFY(writeSettings(QStringLiteral("Same as Rom Path=true\n[Gen = Genesis\nRom Path=%1\n"
                                         "File Name=GoodGen.exe\n")
                              .arg(dir)
                              .toUtf8()));
    MainWindow window;
    QCOMPARE(child<QComboBox>(&window, "selectSystemComboBox")->currentText(),
             QStringLiteral("[Gen  Genesis"));
    QCOMPARE(window.selectedSystem(), SystemEntry());
}

void tst_MainWindow::closingConfigDialogReloads()
{
    QVERIFY(writeSettings(settingsWithSystems()));
    MainWindow window;
    window.move(40, 30);
    auto *selector = child<QComboBox>(&window, "selectSystemComboBox");
    auto *sections = child<QComboBox>(&window, "configComboBox");
    selector->setCurrentIndex(2);
    child<QAction>(&window, "actionConfig")->trigger();
    QPointer<QWidget> dialog = configDialogs().value(0);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->pos(), QPoint(window.x() + window.width() / 2 - 582 / 2, window.y() + 100));

    // The file changes behind the dialog's back; closing it without saving reads it again.
    QVERIFY(writeSettings(settingsWithSystems().replace("[NES=NES System", "[NES=Famicom")));
    dialog->close();
    QCOMPARE(items(selector), (QStringList{"[NES Famicom", "[Gen Gen System", "[GBA GBA System"}));
    QCOMPARE(selector->currentIndex(), 0);
    QCOMPARE(sections->count(), 4);
    QTRY_VERIFY(dialog.isNull());

    // A file gone by then empties the lists; the settings read before stay.
    child<QAction>(&window, "actionConfig")->trigger();
    removeSettings();
    configDialogs().value(0)->close();
    QCOMPARE(selector->count(), 0);
    QCOMPARE(sections->count(), 0);
    QVERIFY(window.systems().isEmpty());
    QCOMPARE(window.settings().sameAsRomPath, true);
    QVERIFY(child<QTextEdit>(&window, "textEdit")->toPlainText().startsWith("Can not read "));
}

void tst_MainWindow::laterSaveOfTwoDialogsWins()
{
    QVERIFY(writeSettings(settingsWithSystems()));
    MainWindow window;
    auto *config = child<QAction>(&window, "actionConfig");
    config->trigger();
    config->trigger();
    const QList<QWidget *> dialogs = configDialogs();
    QCOMPARE(dialogs.size(), 2);
    // Panels follow key order: [GBA, [Gen, [NES, [SNES.
    child<QLineEdit>(dialogs.at(0), "textBoxTwo0")->setText(QStringLiteral("First"));
    child<QLineEdit>(dialogs.at(0), "textBoxTwo1")->setText(QStringLiteral("Mega Drive"));
    child<QLineEdit>(dialogs.at(1), "textBoxTwo0")->setText(QStringLiteral("Second"));
    QTest::mouseClick(child<QPushButton>(dialogs.at(0), "saveButton"), Qt::LeftButton);
    // A save writes the blocks in key order, so the selector follows it.
    QCOMPARE(items(child<QComboBox>(&window, "selectSystemComboBox")),
             (QStringList{"[GBA First", "[Gen Mega Drive", "[NES NES System"}));
    QTest::mouseClick(child<QPushButton>(dialogs.at(1), "saveButton"), Qt::LeftButton);
    QCOMPARE(window.systems().value(QStringLiteral("[GBA")).systemName, QStringLiteral("Second"));
    QVERIFY(readSettings().contains("[GBA=Second\n"));
    QTRY_VERIFY(configDialogs().isEmpty());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
