#include "app/mainwindow.h"
#include "maintenance/goodinfo.h"
#include "maintenancetest.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace MaintenanceTest;
using namespace TestHelpers;

class tst_GoodInfo : public QObject
{
    Q_OBJECT

private slots:
    void excludeNoneAndFlagsExcludeEachOther();
    void failureKeepsWindowOpen_data();
    void failureKeepsWindowOpen();
    void swipeFromMainWindow();
};

void tst_GoodInfo::excludeNoneAndFlagsExcludeEachOther()
{
    GoodInfo window({}, "Goodinfo.cfg", 0, 0, 736);
    auto *excludeNone = child<QCheckBox>(&window, "checkBox_7");
    QList<QCheckBox *> flags;
    for (const char *name :
         {"checkBox", "checkBox_2", "checkBox_3", "checkBox_4", "checkBox_5", "checkBox_6",
          "checkBox_8", "checkBox_9", "checkBox_10", "checkBox_11"}) {
        flags << child<QCheckBox>(&window, name);
        excludeNone->setChecked(true);
        flags.last()->click();
        QVERIFY2(flags.last()->isChecked() && !excludeNone->isChecked(), name);
    }
    excludeNone->click();
    QVERIFY(excludeNone->isChecked());
    for (QCheckBox *box : flags)
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
}

void tst_GoodInfo::failureKeepsWindowOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // "%1" stands for the path
    QTest::newRow("missing") << "Goodinfo.cfg"
                             << "%1 doesn't exist.";
    QTest::newRow("a directory") << "dir"
                                 << "Problem reading Goodinfo.cfg";
    QTest::newRow("no room beside it") << QString(250, u'g') << "Can not write %1\n";
}

void tst_GoodInfo::failureKeepsWindowOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name == "dir")
        QVERIFY(QDir().mkdir(path));
    else if (name.size() > 100)
        QVERIFY(writeAll(path, "[b\n"));
    QPointer<GoodInfo> window = new GoodInfo({}, path, 0, 0, 736);
    window->show();
    child<QCheckBox>(window, "checkBox")->setChecked(true);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QVERIFY2(seen.text.startsWith(message.arg(path)), qPrintable(seen.text));
    QVERIFY(window && window->isVisible());
    if (name.size() > 100)
        QCOMPARE(readAll(path), QByteArray("[b\n"));
    delete window;
}

// From the menu to the finished swipe: the window lists the configured systems after
// "Swipe All", starts on the Goodinfo.cfg of the tools directory, and swipes the file browsed to.
void tst_GoodInfo::swipeFromMainWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Goodinfo.cfg");
    QVERIFY(writeAll(path, "[Gen\r\n[b\r\n[NES\r\n[b\r\n"));
    QVERIFY(writeSettings("Good*.exe Directory=/tools/\nSame as Rom Path=true\n"
                          "Check Version At Startup=false\nLoad Summary At Startup=false\n\n"
                          "[NES=NES\nRom Path=/x/\nFile Name=GoodNES.exe\n\n"
                          "[Gen=Gen\nRom Path=/y/\nFile Name=GoodGen.exe\n\n"));
    MainWindow mainWindow;
    removeSettings();
    mainWindow.findChild<QAction *>("actionGoodinfo_cfg_Swipe")->trigger();
    QPointer<GoodInfo> window = findTopLevel<GoodInfo>();
    QVERIFY(window && window->isVisible());
    auto *comboBox = child<QComboBox>(window, "comboBox");
    QStringList items;
    for (int i = 0; i < comboBox->count(); ++i)
        items << comboBox->itemText(i);
    QCOMPARE(items, (QStringList{"Swipe All", "[NES", "[Gen"}));
    QCOMPARE(comboBox->currentIndex(), 0);
    auto *lineEdit_2 = child<QLineEdit>(window, "lineEdit_2");
    QCOMPARE(lineEdit_2->text(), QStringLiteral("/tools/Goodinfo.cfg"));
    answerNextFileDialog(QString()); // cancelled
    child<QPushButton>(window, "pushButton_2")->click();
    QCOMPARE(lineEdit_2->text(), QStringLiteral("/tools/Goodinfo.cfg"));
    FileDialogSeen dialog;
    answerNextFileDialog(path, &dialog);
    child<QPushButton>(window, "pushButton_2")->click();
    QCOMPARE(dialog.title, QStringLiteral("Set Goodinfo.cfg"));
    QCOMPARE(dialog.nameFilters, QStringList{"Goodinfo.cfg (Goodinfo.cfg)"});

    comboBox->setCurrentIndex(1);
    child<QCheckBox>(window, "checkBox")->click();
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton")->click();
    QCOMPARE(seen.title, QStringLiteral("Finished"));
    QCOMPARE(seen.text, QStringLiteral("Goodinfo.cfg Swipe Complete"));
    QCOMPARE(readAll(path), QByteArray("[Gen\n[b\n[NES\n[b;;n\n"));
    QTRY_VERIFY(!window);
}

QTEST_MAIN(tst_GoodInfo)
#include "tst_goodinfo.moc"
