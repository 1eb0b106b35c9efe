#include "app/mainwindow.h"
#include "testhelpers.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace TestHelpers;

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowProperties();
    void menus();
    void startState();
    void missingSettingsFile();
    void offeredSystemsAndConvert();
    void unresolvableKeyGivesEmptyEntry();
    void closingConfigDialogReloads();
    void savingConfigDialogUpdatesWindow();
    void laterSaveOfTwoDialogsWins();
    void reloadOfMissingFileEmptiesEverything();
    void languageChangeSetsTextsAgain();

private:
    QByteArray settingsWithSystems();
    QList<QWidget *> configDialogs() const;

    QTemporaryDir m_dir;
};

void tst_MainWindow::init()
{
    removeSettings();
}

void tst_MainWindow::cleanup()
{
    for (QWidget *dialog : configDialogs())
        delete dialog;
    removeSettings();
}

QList<QWidget *> tst_MainWindow::configDialogs() const
{
    QList<QWidget *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("TestConfig"))
            dialogs << widget;
    }
    return dialogs;
}

// Three ready systems (NES, Gen, GBA, in that file order) and one without its ROM directory.
QByteArray tst_MainWindow::settingsWithSystems()
{
    const QString root = m_dir.path() + u'/';
    for (const char *system : {"NES", "Gen", "GBA"}) {
        const QString dir = root + QLatin1String(system);
        QDir().mkpath(dir);
        QFile tool(dir + QStringLiteral("/Good") + QLatin1String(system) + QStringLiteral(".exe"));
        tool.open(QIODevice::WriteOnly);
    }
    QString text = QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                  "Check Version At Startup=false\n"
                                  "Load Summary At Startup=false\n\n");
    for (const char *system : {"NES", "Gen", "GBA", "SNES"}) {
        const QString name = QLatin1String(system);
        text += QStringLiteral("[%1=%1 System\nRom Path=%2%1\nFile Name=Good%1.exe\n\n")
                    .arg(name, root);
    }
    return text.toUtf8();
}

void tst_MainWindow::windowProperties()
{
    MainWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessary 2.1"));
    QCOMPARE(window.size(), QSize(736, 558));
    QCOMPARE(window.minimumSize(), QSize(736, 558));
    QCOMPARE(window.font().pointSize(), 8);
    QCOMPARE(window.sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(window.sizePolicy().verticalStretch(), 1);
    // The icon comes from the resources compiled into the library.
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(QFile::exists(QStringLiteral(":/animatedGif/images/Button.png")));

    auto *textEdit = child<QTextEdit>(&window, "textEdit");
    QVERIFY(textEdit->isReadOnly());
    QCOMPARE(textEdit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(child<QFrame>(&window, "frame")->minimumSize(), QSize(272, 248));
}

void tst_MainWindow::menus()
{
    MainWindow window;
    auto *menuBar = child<QMenuBar>(&window, "menuBar");
    QCOMPARE(window.menuBar(), menuBar);
    QStringList titles;
    for (QAction *action : menuBar->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList{"Main", "View", "Tools", "Mode", "Help"}));

    const auto actionsOf = [&](const char *menuName) {
        QStringList entries;
        for (QAction *action : child<QMenu>(&window, menuName)->actions())
            entries << action->objectName() + u'|' + action->text();
        return entries;
    };
    QCOMPARE(actionsOf("menuMain"), (QStringList{"actionConfig|Config", "actionExit|Exit"}));
    QCOMPARE(actionsOf("menuView"),
             (QStringList{"action_Have_List|*Have List", "action_Miss_List|*Miss List",
                          "actionTessary_ini|Tessary.ini", "actionGoodinfo_cfg|Goodinfo.cfg",
                          "actionOpen_Rom_Dir|Open Rom Directory",
                          "actionPreview_Available_Roms|Preview Available Roms",
                          "actionRom_Collection_Summary|Rom Collection Summary"}));
    QCOMPARE(
        actionsOf("menuTools"),
        (QStringList{"actionCompare_Miss_Lists|Compare Miss Lists",
                     "actionCopy_files_from_txt_to_Directory|Copy files from *.txt to Directory",
                     "actionDelete_Lists_and_db_Files|Delete Lists and db Files",
                     "actionDelete_Specified_Roms|Delete Specified Roms",
                     "actionGoodinfo_cfg_Swipe|Goodinfo.cfg Swipe",
                     "actionMove_Files_From_Ren_to_Root|Move Files From *Ren to Root"}));
    QVERIFY(actionsOf("menuMode").isEmpty());
    QCOMPARE(actionsOf("menuHelp"),
             (QStringList{"actionAbout|About", "actionCheck_For_Updates|Check For Updates",
                          "actionHelp|Help", "actionWebsite|Website"}));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    child<QAction>(&window, "actionExit")->trigger();
    QVERIFY(!window.isVisible());
}

void tst_MainWindow::startState()
{
    MainWindow window;
    for (const char *shown : {"frame_2", "frame_7", "frame_10"})
        QVERIFY2(!child<QWidget>(&window, shown)->isHidden(), shown);
    for (const char *hidden :
         {"frame_3", "frame_4", "frame_5", "frame_6", "frame_8", "frame_9", "convert"})
        QVERIFY2(child<QWidget>(&window, hidden)->isHidden(), hidden);

    auto *summary = child<QTableWidget>(&window, "romSummary");
    QCOMPARE(summary->columnCount(), 8);
    QCOMPARE(summary->rowCount(), 0);
    QVERIFY(summary->isSortingEnabled());
    const QStringList headers{"Key",      "System Name", "Miss",      "Have",
                              "Excluded", "Total",       "Version #", "Rom Path"};
    const int widths[] = {60, 175, 38, 37, 62, 50, 75, 189};
    for (int column = 0; column < 8; ++column) {
        QCOMPARE(summary->horizontalHeaderItem(column)->text(), headers.at(column));
        QCOMPARE(summary->columnWidth(column), widths[column]);
    }

    auto *go = child<QPushButton>(&window, "Go");
    QCOMPARE(go->text(), QStringLiteral("Go"));
    QCOMPARE(go->styleSheet(), QStringLiteral("background-color: rgb(85, 255, 127);"));
    QCOMPARE(child<QPushButton>(&window, "Clear")->styleSheet(),
             QStringLiteral("background-color: rgb(170, 170, 255);"));
    QCOMPARE(child<QLabel>(&window, "label")->text(), QString());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(child<QStatusBar>(&window, "statusBar")->currentMessage().isEmpty());
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
    QStringList items;
    for (int i = 0; i < selector->count(); ++i)
        items << selector->itemText(i);
    QCOMPARE(items, (QStringList{"[NES NES System", "[Gen Gen System", "[GBA GBA System"}));
    QStringList sections;
    auto *configComboBox = child<QComboBox>(&window, "configComboBox");
    for (int i = 0; i < configComboBox->count(); ++i)
        sections << configComboBox->itemText(i);
    QCOMPARE(sections, (QStringList{"[NES", "[Gen", "[GBA", "[SNES"}));
    QCOMPARE(window.systems().size(), 4);
    QVERIFY(child<QTextEdit>(&window, "textEdit")->toPlainText().isEmpty());

    auto *convert = child<QRadioButton>(&window, "convert");
    QCOMPARE(window.selectedSystem().key, QStringLiteral("[NES"));
    QVERIFY(!convert->isHidden());
    QCOMPARE(convert->text(), QStringLiteral("fixnes script"));
    QCOMPARE(convert->toolTip(),
             QStringLiteral("Fix iNES header information using the script in Good.doc"));

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
    selector->setCurrentIndex(2);

    child<QAction>(&window, "actionConfig")->trigger();
    QCOMPARE(configDialogs().size(), 1);
    QPointer<QWidget> dialog = configDialogs().first();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->pos(), QPoint(window.x() + window.width() / 2 - 582 / 2, window.y() + 100));

    // The file changes behind the dialog's back; closing it without saving reads it again.
    QByteArray changed = settingsWithSystems();
    changed.replace("[NES=NES System", "[NES=Famicom");
    QVERIFY(writeSettings(changed));
    dialog->close();
    QCOMPARE(selector->count(), 3);
    QCOMPARE(selector->currentIndex(), 0);
    QCOMPARE(selector->currentText(), QStringLiteral("[NES Famicom"));
    QCOMPARE(child<QComboBox>(&window, "configComboBox")->count(), 4);
    QTRY_VERIFY(dialog.isNull());
}

void tst_MainWindow::savingConfigDialogUpdatesWindow()
{
    QVERIFY(writeSettings(settingsWithSystems()));
    MainWindow window;
    child<QAction>(&window, "actionConfig")->trigger();
    QWidget *dialog = configDialogs().value(0);
    QVERIFY(dialog);
    // Panels follow key order: [GBA, [Gen, [NES, [SNES.
    child<QLineEdit>(dialog, "textBoxTwo1")->setText(QStringLiteral("Mega Drive"));
    QTest::mouseClick(child<QPushButton>(dialog, "saveButton"), Qt::LeftButton);

    auto *selector = child<QComboBox>(&window, "selectSystemComboBox");
    // A save writes the blocks in key order, so the selector follows it.
    QStringList items;
    for (int i = 0; i < selector->count(); ++i)
        items << selector->itemText(i);
    QCOMPARE(items, (QStringList{"[GBA GBA System", "[Gen Mega Drive", "[NES NES System"}));
    QVERIFY(readSettings().contains("[Gen=Mega Drive\n"));
    QTRY_VERIFY(configDialogs().isEmpty());
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
    child<QLineEdit>(dialogs.at(0), "textBoxTwo0")->setText(QStringLiteral("First"));
    child<QLineEdit>(dialogs.at(1), "textBoxTwo0")->setText(QStringLiteral("Second"));
    QTest::mouseClick(child<QPushButton>(dialogs.at(0), "saveButton"), Qt::LeftButton);
    QCOMPARE(window.systems().value(QStringLiteral("[GBA")).systemName, QStringLiteral("First"));
    QTest::mouseClick(child<QPushButton>(dialogs.at(1), "saveButton"), Qt::LeftButton);
    QCOMPARE(window.systems().value(QStringLiteral("[GBA")).systemName, QStringLiteral("Second"));
    QVERIFY(readSettings().contains("[GBA=Second\n"));
}

void tst_MainWindow::reloadOfMissingFileEmptiesEverything()
{
    QVERIFY(writeSettings(settingsWithSystems() + "Check Version At Startup=false\n"));
    MainWindow window;
    QCOMPARE(window.settings().sameAsRomPath, true);
    child<QAction>(&window, "actionConfig")->trigger();
    removeSettings();
    configDialogs().value(0)->close();

    QCOMPARE(child<QComboBox>(&window, "selectSystemComboBox")->count(), 0);
    QCOMPARE(child<QComboBox>(&window, "configComboBox")->count(), 0);
    QVERIFY(window.systems().isEmpty());
    QCOMPARE(window.settings().sameAsRomPath, true); // kept: the file could not be read
    QVERIFY(child<QTextEdit>(&window, "textEdit")
                ->toPlainText()
                .startsWith(QStringLiteral("Can not read ")));
}

void tst_MainWindow::languageChangeSetsTextsAgain()
{
    MainWindow window;
    auto *go = child<QPushButton>(&window, "Go");
    go->setText(QStringLiteral("Stop"));
    window.setWindowTitle(QString());
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&window, &change);
    QCOMPARE(go->text(), QStringLiteral("Go"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessary 2.1"));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
